// The property names of "set", "change", "propel", "bind", "oscillate" and
// "clamp", resolved when the animations load: a name no object has fails the
// load where it is written, and the names of the game's own scripts resolve.
#include <functional>

#include "core/FileUtil.h"
#include "core/Log.h"
#include "data/ExpressionEvaluator.h"
#include "tests/script/ScriptFixture.h"
#include "tests/support/WidgetQueries.h"

namespace {

class PropertyNames : public ScriptTest {
protected:
    // The error of loading an animations.xml body; empty when it loaded.
    static std::string LoadError(const std::string& body) {
        AnimationStats loader;
        if (loader.LoadAnimationsFromString("<animations>\n" + body + "\n</animations>", "names.xml"))
            return std::string();
        return loader.GetErrorText();
    }
    // Every record of a table, children included.
    static void ForEachRecord(const AnimationTable& table,
                              const std::function<void(const AnimationCommand&)>& visit) {
        std::function<void(const std::vector<AnimationCommand>&)> walk =
            [&](const std::vector<AnimationCommand>& commands) {
                for (const AnimationCommand& command : commands) {
                    visit(command);
                    walk(command.mChildren);
                }
            };
        for (const auto& [name, animation] : table) walk(animation.mCommands);
    }
};

std::string CorpusFile(const char* name) {
    return std::string(QUILTRO7_SOURCE_DIR) + "/tests/corpus/animations/" + name;
}

TEST_F(PropertyNames, AMisspeltPropertyFailsTheLoadWithFileLineAndTheNearestName) {
    std::string bytes;
    ASSERT_TRUE(ReadFileToString(CorpusFile("misspelt_property.xml"), bytes));
    AnimationStats loader;
    EXPECT_FALSE(loader.LoadAnimationsFromString(bytes, "properties/misspelt_property.xml"));
    EXPECT_EQ(loader.GetErrorText(),
              "Unknown script property 'opactiy' (did you mean 'opacity'?) on Line 5 in File "
              "'properties/misspelt_property.xml'");
}

TEST_F(PropertyNames, OnlyNamesOfTheFloatPropertyTableResolve) {
    struct Case {
        std::string record;
        std::string error;  // empty: loads
    };
    const Case cases[] = {
        {R"(<set id="o" property="scale-x" value="2"/>)", "'scale-x' (did you mean 'scale_x'?) on Line 3"},
        {R"(<propel id="o" property="x, opcaity" velocity="1"/>)", "'opcaity' (did you mean 'opacity'?)"},
        // Read-only values and script variables are no settable properties.
        {R"(<set id="o" property="width" value="1"/>)", "'width' (the properties are x, y, mouse_visible, z,"},
        {R"(<bind id="o" property="frame" value="1"/>)", "'frame'"},
        {R"(<clamp id="o" property="x,,y" min="0"/>)", "Unknown script property ''"},
        // Taken as written, never evaluated.
        {R"(<oscillate id="o" property="'x'" amplitude="1"/>)", "Unknown script property ''x''"},
        {R"(<change id="o" property="c_prop" end="1"/>)", "'c_prop'"},
        {R"(<if cond="true"><set id="o" property="alph" value="1"/></if>)", "(did you mean 'alpha'?) on Line 3"},
        {R"(<set id="o" property=" x , y " value="1"/><change id="o" property="opacity"/>)", ""},
        // Other commands and unknown ones keep their "property" to themselves.
        {R"(<print message="'m'" property="opactiy"/><wait-for property="nothing"/>)", ""},
        {R"(<chnage id="o" property="opactiy"/>)", ""},
    };
    SetDebugOutputEnabled(false);
    for (const Case& c : cases) {
        const std::string error = LoadError("<animation name=\"a\">\n" + c.record + "\n</animation>");
        if (c.error.empty()) {
            EXPECT_EQ(error, "") << c.record;
        } else {
            EXPECT_NE(error.find(c.error), std::string::npos) << c.record << ": " << error;
            EXPECT_NE(error.find(" in File 'names.xml'"), std::string::npos) << error;
        }
    }
    SetDebugOutputEnabled(true);
}

// The game's scripts load with every property list resolved, each name to
// its own slot.
TEST_F(PropertyNames, EveryPropertyTheGameDataNamesResolves) {
    AnimationStats loader;
    ASSERT_TRUE(loader.LoadAnimations("properties/animations.xml")) << loader.GetErrorText();
    int lists = 0;
    ForEachRecord(loader.GetTable(), [&](const AnimationCommand& command) {
        if (!command.HasAttribute(L"property")) return;
        const std::vector<std::wstring> names =
            ExpressionEvaluator::SplitArguments(command.GetAttribute(L"property"));
        ASSERT_EQ(command.mPropertySlots.size(), names.size()) << command.Where();
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(DynamicWidget::GetPropertyName(command.mPropertySlots[i]), names[i]) << command.Where();
        ++lists;
    });
    EXPECT_GT(lists, 50);
}

// A loaded record runs on the slots it resolved; a record built in code
// still finds its names as it runs, and skips one it cannot find, saying
// where.
TEST_F(PropertyNames, LoadedRecordsRunOnTheirSlotsAndHandMadeOnesByName) {
    Load(R"(
      <animation name="placed">
        <add-rect id="o" x="0" y="0" width="10" height="10"/>
        <set id="o" property=" x , y ,mouse_visible" value="7,9,0"/>
        <persist/>
      </animation>)");
    EXPECT_EQ(GetAnimation(L"placed").mCommands.at(1).mPropertySlots,
              (std::vector<int>{DynamicWidget::FindPropertySlot(L"x"), DynamicWidget::FindPropertySlot(L"y"),
                                DynamicWidget::FindPropertySlot(L"mouse_visible")}));
    ProbeScript* placed = Run(L"placed");
    auto* o = dynamic_cast<DynamicWidget*>(FindWidgetByName(*placed, L"o"));
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->mX, 7.0f);
    EXPECT_EQ(o->mY, 9.0f);
    EXPECT_FALSE(o->mMouseVisible);

    AnimationCommand set;
    set.mName = L"set";
    set.mLine = 4;
    set.SetAttribute(L"id", L"o");
    set.SetAttribute(L"property", L"scael_y,y");
    set.SetAttribute(L"value", L"3");
    AnimationTable table;
    table[L"hand"].mCommands = {set};
    PublishAnimations(std::move(table));
    SetDebugOutputEnabled(true);
    testing::internal::CaptureStderr();
    placed->PlayAnimationByName(L"hand");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(o->mY, 3.0f) << "the name it knows is set";
    EXPECT_EQ(said, "Unknown script property 'scael_y' (did you mean 'scale_y'?) at (no file):4; skipped\n");
}

TEST(PropertyTable, SlotsNamesAndFieldsAgree) {
    DynamicWidget widget(3.0f, 4.0f);
    const int count = DynamicWidget::GetPropertyCount();
    ASSERT_GT(count, 10);
    for (int slot = 0; slot < count; ++slot) {
        const wchar_t* name = DynamicWidget::GetPropertyName(slot);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(DynamicWidget::FindPropertySlot(name), slot);
        EXPECT_EQ(widget.GetPropertyPointerAt(slot), widget.GetPropertyPointer(name));
        EXPECT_NE(widget.GetPropertyPointerAt(slot), nullptr);
    }
    EXPECT_EQ(widget.GetPropertyPointerAt(DynamicWidget::FindPropertySlot(L"x")), &widget.mX);
    EXPECT_EQ(widget.GetPropertyPointerAt(DynamicWidget::FindPropertySlot(L"opacity")), &widget.mOpacity);
    EXPECT_EQ(DynamicWidget::FindPropertySlot(L"width"), -1);
    EXPECT_EQ(widget.GetPropertyPointerAt(-1), nullptr);
    EXPECT_EQ(widget.GetPropertyPointerAt(count), nullptr);
    EXPECT_EQ(DynamicWidget::GetPropertyName(count), nullptr);
}

}  // namespace
