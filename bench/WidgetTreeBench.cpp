// One update step and one drawn frame of a tree of 1,000 plain widgets through
// the null renderer: the cost of the tree walks themselves (flags, snapshots
// of the child lists, graphics state, translation) with a small fill per
// widget. The argument is the fan-out: 1 makes a chain 1,000 deep, 4 a
// balanced tree about six levels deep.
#include <benchmark/benchmark.h>

#include <vector>

#include "render/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace {

class PlainWidget : public Widget {
public:
    void Update() override { ++mTicks; }
    void Draw(Graphics* g) override { g->FillRect(0.0f, 0.0f, 4.0f, 4.0f); }
    int mTicks = 0;
};

struct Tree {
    WidgetManager mManager;

    explicit Tree(int fanOut, int count = 1000) {
        std::vector<Widget*> open;
        auto* root = new PlainWidget();
        root->Resize(0, 0, 1024, 768);
        mManager.AddWidget(root);
        open.push_back(root);
        int made = 1;
        for (size_t next = 0; made < count && next < open.size(); ++next) {
            for (int i = 0; i < fanOut && made < count; ++i, ++made) {
                auto* w = new PlainWidget();
                w->Resize(1.0f, 1.0f, 8, 8);
                open[next]->AddWidget(w);
                open.push_back(w);
            }
        }
    }
};

void BM_WidgetTreeUpdateAndDraw(benchmark::State& state) {
    Tree tree(static_cast<int>(state.range(0)));
    Graphics g;
    for (auto _ : state) {
        tree.mManager.Update();
        tree.mManager.UpdateF(1.0f);
        tree.mManager.DrawToGraphics(g);
        g.FlushBatch();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    state.SetLabel("1,000 widgets per frame");
}
BENCHMARK(BM_WidgetTreeUpdateAndDraw)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_WidgetTreeHitTest(benchmark::State& state) {
    Tree tree(static_cast<int>(state.range(0)));
    int x = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tree.mManager.GetWidgetAt(x % 20, 3));
        ++x;
    }
}
BENCHMARK(BM_WidgetTreeHitTest)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
