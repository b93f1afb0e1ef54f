// Loading an animations-like XML file through our Parser against expat alone
// on the same bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "core/FileUtil.h"
#include "core/StringUtil.h"
#include "bench/BareExpat.h"
#include "data/Parser.h"
#include "platform/FileSystem.h"

namespace {

// About 1 MB of animations.xml-shaped data, written once into a temp folder.
class XmlBenchData {
public:
    static const XmlBenchData& Get() {
        static XmlBenchData data;
        return data;
    }
    ~XmlBenchData() { PlatformRemoveTree(mFolder); }

    std::string mFolder;
    std::string mPath;
    std::string mBytes;
    int mElements = 0;

private:
    XmlBenchData() : mFolder(PlatformMakeTempDirectory("q7xmlbench")) {
        static const char* const kCommands[] = {
            "<move x=\"c_x + 10 * i\" y=\"120\" time=\"0.35\" curve=\"t*t\"/>",
            "<fade opacity=\"0.0\" time=\"0.2\" if=\"obj.dragging\"/>",
            "<play-sound name=\"click\" unless=\"muted\"/>",
            "<set-image image=\"ui_Puzzle_Current_Over\" frame=\"3\"/>",
            "<wait time=\"dialog_fade_time\"/>",
            "<add-label text=\"'intro_' + i\" font=\"menu\" x=\"center\" y=\"bottom\" align=\"center,top\"/>",
        };
        mBytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<animations>\n";
        int n = 0;
        while (mBytes.size() < 1024 * 1024) {
            mBytes += "  <animation name=\"anim_" + std::to_string(n) + "\">\n";
            ++mElements;
            for (int k = 0; k < 12; ++k) {
                mBytes += "    ";
                mBytes += kCommands[(n + k) % 6];
                mBytes += "\n";
                ++mElements;
            }
            mBytes += "    <print>  step done for   anim " + std::to_string(n) + "  </print>\n";
            ++mElements;
            mBytes += "  </animation>\n";
            ++n;
        }
        mBytes += "</animations>\n";
        ++mElements;
        mPath = mFolder + "/animations.xml";
        WriteStringToFile(mPath, mBytes);
    }
};

// A loader doing the least real work: it looks at each element's name and
// one attribute, as the animations loader does for every command.
class CountingParser : public Parser {
public:
    int mElements = 0;
    size_t mChars = 0;

protected:
    bool OnElementStart(const XMLElement& element) override {
        ++mElements;
        if (const std::wstring* name = element.Find(L"name")) mChars += name->size();
        return true;
    }
    bool OnText(const std::wstring& text) override {
        mChars += text.size();
        return true;
    }
};

void BM_XmlParserLoadFile(benchmark::State& state) {
    const XmlBenchData& data = XmlBenchData::Get();
    for (auto _ : state) {
        CountingParser parser;
        if (!parser.LoadFile(data.mPath) || parser.mElements != data.mElements) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(parser.mChars);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.mBytes.size()));
}
BENCHMARK(BM_XmlParserLoadFile)->Unit(benchmark::kMillisecond);

void BM_XmlParserFromMemory(benchmark::State& state) {
    const XmlBenchData& data = XmlBenchData::Get();
    for (auto _ : state) {
        CountingParser parser;
        parser.LoadFromString(data.mBytes, "animations.xml");
        benchmark::DoNotOptimize(parser.mChars);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.mBytes.size()));
}
BENCHMARK(BM_XmlParserFromMemory)->Unit(benchmark::kMillisecond);

void BM_BareExpat(benchmark::State& state) {
    const XmlBenchData& data = XmlBenchData::Get();
    for (auto _ : state) {
        BareExpatCounts counts;
        if (!RunBareExpat(data.mBytes, counts) || counts.mElements != data.mElements)
            state.SkipWithError("expat failed");
        benchmark::DoNotOptimize(counts.mChars);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.mBytes.size()));
}
BENCHMARK(BM_BareExpat)->Unit(benchmark::kMillisecond);

}  // namespace
