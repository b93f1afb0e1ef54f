#include "core/Log.h"
#include "core/Random.h"
#include "render/Graphics.h"
#include "render/Image.h"
#include "widgets/AnimationWidget.h"
#include "widgets/ScriptCommands.h"

// Ordering among siblings, the current layer and its stack, flattening one
// object into another, random points on an object, and the batching bits.

namespace {

bool IsAncestorOrSelf(const WidgetContainer* candidate, const WidgetContainer* widget) {
    for (const WidgetContainer* up = widget; up; up = up->mParent)
        if (up == candidate) return true;
    return false;
}

// A random point of the target's rectangle (parent coordinates) that its
// hit test takes, up to `tries` attempts.
bool FindPoint(DynamicWidget& target, int tries, FPoint& out) {
    const FRect bounds = target.GetBoundingRect();
    for (int i = 0; i < tries; ++i) {
        const float x = bounds.mX + static_cast<float>(Rand(static_cast<int>(bounds.mWidth)));
        const float y = bounds.mY + static_cast<float>(Rand(static_cast<int>(bounds.mHeight)));
        const FPoint local = target.ParentToLocalPoint(x, y);
        if (target.HitTest(static_cast<int>(local.mX), static_cast<int>(local.mY))) {
            out = FPoint(x, y);
            return true;
        }
    }
    return false;
}

Widget* FindObject(AnimationWidget& w, const wchar_t* attribute) {
    return w.HasAttribute(attribute) ? w.FindScriptObject(attribute) : nullptr;
}

}  // namespace

ScriptStep ScriptCommands::SetDepth(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    target->mZOrder = w.GetIntAttribute(L"depth");
    if (target->mParent) target->mParent->SortWidgets();
    target->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::BringToFront(AnimationWidget&, const AnimationCommand&, DynamicWidget* target) {
    if (target->mParent) target->mParent->BringToFront(target);
    target->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::BringToBack(AnimationWidget&, const AnimationCommand&, DynamicWidget* target) {
    if (target->mParent) target->mParent->BringToBack(target);
    target->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Batch(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    ApplyFlagBit(w, *target, WidgetFlags::Batch);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::BatchByDepth(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    ApplyFlagBit(w, *target, WidgetFlags::BatchByDepth);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::SetLayer(AnimationWidget& w, const AnimationCommand&, DynamicWidget* target) {
    w.SetCurrentLayer(target);
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::PushLayer(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    w.PushLayer();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::PopLayer(AnimationWidget& w, const AnimationCommand&, DynamicWidget*) {
    w.PopLayer();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::PutInFront(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    return PlaceInLayer(w, c, true);
}

ScriptStep ScriptCommands::PutBehind(AnimationWidget& w, const AnimationCommand& c, DynamicWidget*) {
    return PlaceInLayer(w, c, false);
}

ScriptStep ScriptCommands::PlaceInLayer(AnimationWidget& w, const AnimationCommand& c, bool inFront) {
    Widget* first = FindObject(w, L"id1");
    Widget* second = FindObject(w, L"id2");
    if (!first || !second) return ScriptStep::Next;
    WidgetContainer* layer = w.GetCurrentLayer();
    if (first == second || first->mParent != layer || second->mParent != layer) {
        DebugPrintf("Script '%s' at %s: the two objects must be different children of the "
                    "current layer; ignored\n",
                    inFront ? "put-in-front" : "put-behind", c.Where().c_str());
        return ScriptStep::Next;
    }
    if (inFront)
        layer->PutInFront(first, second);
    else
        layer->PutBehind(first, second);
    first->MarkDirty();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Merge(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    Widget* with = FindObject(w, L"with");
    if (!with || IsAncestorOrSelf(with, target) || !with->mParent) {
        if (with)
            DebugPrintf("Script 'merge' at %s: an object cannot take in itself or an ancestor; "
                        "ignored\n", c.Where().c_str());
        return ScriptStep::Next;
    }
    const FRect own = target->GetBoundingRect();
    const FPoint origin = target->mParent ? target->mParent->LocalToScreenPoint(0.0f, 0.0f) : FPoint();
    const FPoint withOrigin = with->mParent->LocalToScreenPoint(0.0f, 0.0f);
    FRect bounds = own;
    if (w.GetBoolAttribute(L"expand")) {
        FRect other = with->GetBoundingRect();
        other.mX += withOrigin.mX - origin.mX;
        other.mY += withOrigin.mY - origin.mY;
        bounds = own.Union(other);
    }
    if (!(bounds == own)) {
        // A larger surface holding the present drawing where it was.
        const int dx = static_cast<int>(own.mX - bounds.mX), dy = static_cast<int>(own.mY - bounds.mY);
        auto* surface = new ImageSurface();
        surface->Create(static_cast<int>(bounds.mWidth), static_cast<int>(bounds.mHeight));
        if (Image* image = target->GetImage()) {
            Graphics g(surface);
            g.DrawImage(image, static_cast<float>(dx), static_cast<float>(dy), target->GetFrame());
        }
        target->SetOwnedImage(surface);
        target->Move(target->mX - static_cast<float>(dx), target->mY - static_cast<float>(dy));
    }
    if (ImageSurface* surface = target->GetOwnImageSurface()) {
        Graphics g(surface);
        const FPoint targetOrigin = target->LocalToScreenPoint(0.0f, 0.0f);
        g.Translate(withOrigin.mX - targetOrigin.mX, withOrigin.mY - targetOrigin.mY);
        with->DrawAll(&g, WidgetFlags::Default);
    }
    target->MarkDirty();
    if (w.GetBoolAttributeOr(L"remove", true)) with->RemoveSelf();
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::GetPoint(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    FPoint point;
    const bool found = FindPoint(*target, w.GetIntAttributeOr(L"tries", 100), point);
    if (found) {
        if (c.HasAttribute(L"x")) w.SetVariable(c.GetAttribute(L"x"), ScriptValue(static_cast<int>(point.mX)));
        if (c.HasAttribute(L"y")) w.SetVariable(c.GetAttribute(L"y"), ScriptValue(static_cast<int>(point.mY)));
    }
    if (c.HasAttribute(L"found")) w.SetVariable(c.GetAttribute(L"found"), ScriptValue(found));
    return ScriptStep::Next;
}

ScriptStep ScriptCommands::Pick(AnimationWidget& w, const AnimationCommand& c, DynamicWidget* target) {
    WidgetContainer* container = target;
    if (c.HasAttribute(L"target")) container = w.FindScriptObject(L"target");
    if (!container || !target->mParent) return ScriptStep::Next;
    const std::wstring animation = w.GetStringAttribute(L"animation");
    const int tries = w.GetIntAttributeOr(L"tries", 100);
    // Points are found in the target's parent; the container may sit elsewhere.
    const FPoint from = target->mParent->LocalToScreenPoint(0.0f, 0.0f);
    const FPoint to = container->LocalToScreenPoint(0.0f, 0.0f);
    for (int pass = w.GetIntAttributeOr(L"points", 1); pass > 0; --pass) {
        FPoint point;
        if (!FindPoint(*target, tries, point)) continue;
        container->AddWidget(new AnimationWidget(animation, point.mX + from.mX - to.mX,
                                                 point.mY + from.mY - to.mY, true));
    }
    return ScriptStep::Next;
}
