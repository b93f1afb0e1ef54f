#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "data/Constants.h"

TEST(Constants, TypedReadsAndDefinedTest) {
    PublishConstants({{L"n", 3}, {L"f", 2.5f}, {L"s", ScriptValue(L"4")}, {L"b", true}});
    EXPECT_EQ(GetConstantInt(L"n"), 3);
    EXPECT_FLOAT_EQ(GetConstantFloat(L"n"), 3.0f);
    EXPECT_EQ(GetConstantInt(L"f"), 2);
    EXPECT_EQ(GetConstantInt(L"s"), 4);
    EXPECT_EQ(GetConstantInt(L"b"), 1);
    EXPECT_EQ(GetConstant(L"s").GetType(), ScriptValue::String);
    ScriptValue out = 99;
    EXPECT_FALSE(FindConstant(L"absent", out));
    EXPECT_EQ(out.ToInt(), 99);  // untouched on a miss
    EXPECT_EQ(GetConstantsSnapshot()->size(), 4u);
    PublishConstants({});
    EXPECT_FALSE(IsConstantDefined(L"n"));
    EXPECT_EQ(GetConstantInt(L"n"), 0);
}

TEST(Constants, ReadersSeeWholeTablesWhileTheLoaderPublishes) {
    // Every published table holds a == b; a reader must never see a mix.
    std::atomic<bool> done{false};
    std::thread loader([&done] {
        for (int i = 1; i <= 2000; ++i) PublishConstants({{L"a", i}, {L"b", i}});
        done = true;
    });
    int mismatches = 0;
    while (!done) {
        std::shared_ptr<const VariableMap> table = GetConstantsSnapshot();
        auto a = table->find(L"a");
        auto b = table->find(L"b");
        if ((a == table->end()) != (b == table->end())) ++mismatches;
        else if (a != table->end() && a->second.ToInt() != b->second.ToInt()) ++mismatches;
        int x = GetConstantInt(L"a");
        if (x < 0 || x > 2000) ++mismatches;
    }
    loader.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(GetConstantInt(L"b"), 2000);
    PublishConstants({});
}
