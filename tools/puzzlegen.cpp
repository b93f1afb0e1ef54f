// Writes our puzzle catalogue, properties/puzzles_quiltro7.xml, from the little
// pictures drawn below, and the puzzle-title entries for localization.xml.
// Every picture must be solvable by line logic alone; the tool refuses to write
// the catalogue otherwise and shows where the solver got stuck.
//
//   puzzlegen [--shades N] [--out FILE] [--titles] [--report]
//
// Picture letters name a base colour of the "ArtTiles" sheet (one cel each):
//   W white  K black  R red  O orange  Y yellow  G green  D dark green  S sky
//   B blue   N navy   T brown  P pink  V violet  A grey  F sand  M dark brown
// The sheet's cels in that order, as drawn (shade 0; the game darkens the
// others): W #FFFFFF, K #202020, R #D83030, O #F08C28, Y #F5D23C, G #5AB446,
// D #2E7D32, S #9BD2F5, B #3278DC, N #1E2D6E, T #96643C, P #F5A0BE,
// V #8C50B4, A #9696A0, F #E6C896, M #5A3A1E. With "shades" 4 the values run
// 0..63.
// Upper case is a tile of the solution drawn in shade 0; lower case is a hole
// that still shows that colour in the finished picture (shade 1); '.' is a hole
// with no art at all.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "puzzle/LineSolver.h"

namespace {

struct Drawing {
    const char* mName;   // puzzle key, also the localization key of its title
    const char* mTitle;  // English title
    std::vector<const char*> mRows;
};

struct SetDrawing {
    const char* mSetName;
    std::vector<Drawing> mPuzzles;
};

const char kPalette[] = "WKROYGDSBNTPVAFM";

int CelOf(char c) {
    char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    const char* hit = std::strchr(kPalette, upper);
    return hit && upper ? static_cast<int>(hit - kPalette) : -1;
}

// ---- Story mode -------------------------------------------------------------

// The lessons: exactly the tutorial's puzzles (constants.xml "tutorials"),
// played one after another before the wings open.
const SetDrawing kLessons = {"lessons", {
    {"p_heart", "Heart", {
        "pRpRp",
        "RRRRR",
        "RRRRR",
        "pRRRp",
        "ppRpp"}},
    {"p_house", "House", {
        "ssRss",
        "sRRRs",
        "RRRRR",
        "sWTWs",
        "gWTWg"}},
}};

const SetDrawing kMeadow = {"meadow", {
    {"p_tree", "Tree", {
        "sGGGs",
        "GGGGG",
        "sGGGs",
        "ssTss",
        "gTTTg"}},
    {"p_sun", "Sunny Face", {
        "sYYYs",
        "YKYKY",
        "YYYYY",
        "YKKKY",
        "sYYYs"}},
    {"p_mushroom", "Mushroom", {
        "gRRRg",
        "RWRWR",
        "RRRRR",
        "gWWWg",
        "gWWWg"}},
    {"p_cat", "Cat", {
        "AsssssssAs",
        "AAsssssAAs",
        "AAAAAAAAAs",
        "AKAAAAKAAs",
        "AAAAPAAAAs",
        "sAAAAAAAss",
        "sAAAAAAAsA",
        "AAAAAAAAAA",
        "AAAAAAAAsA",
        "AAsAAsAAss"}},
    {"p_ladybug", "Ladybug", {
        "gKKggggKKg",
        "gggKggKggg",
        "gggKKKKggg",
        "ggKWKKWKgg",
        "gRRRKKRRRg",
        "RRkRKKRkRR",
        "RRRRKKRRRR",
        "RkRRKKRRkR",
        "RRRRKKRRRR",
        "gRRRKKRRRg"}},
    {"p_flower", "Flower", {
        "ssssssPPPssssss",
        "ssssPPPPPPPssss",
        "sssPPPYYYPPPsss",
        "sssPPYYYYYPPsss",
        "sssPPYYYYYPPsss",
        "sssPPPYYYPPPsss",
        "ssssPPPPPPPssss",
        "ssssssPGPssssss",
        "sGGssssGsssssss",
        "GGGGsssGsssGGss",
        "sGGGGssGssGGGGs",
        "ssGGGGsGsGGGGss",
        "ssssGGGGGGGssss",
        "sssssssGsssssss",
        "gggggggGggggggg"}},
    {"p_sheep", "Sheep", {
        "ssssssssssssYYs",
        "sssssssssssYYYY",
        "ssssssssssssYYs",
        "sssssWWsWWsWWss",
        "ssssWWWWWWWWWWs",
        "sKKWWWWWWWWWWWs",
        "KKKKWWWWWWWWWWW",
        "KwKKWWWWWWWWWWs",
        "KKKKWWWWWWWWWWs",
        "sKKsWWWWWWWWWWs",
        "ssssWWWWWWWWWss",
        "sssssKsKssKsKss",
        "sssssKsKssKsKss",
        "GGGGGKGKGGKGKGG",
        "GGGGGGGGGGGGGGG"}},
    {"p_catface", "Cat Face", {
        "sAAsssssssssAAs",
        "sAPAsssssssAPAs",
        "sAPPAsssssAPPAs",
        "sAAAAAAAAAAAAAs",
        "AAAAAAAAAAAAAAA",
        "AAAkkAAAAAkkAAA",
        "AAAkgAAAAAkgAAA",
        "AAAAAAAAAAAAAAA",
        "KKAAAAAPAAAAAKK",
        "AAKAAAKKKAAAKAA",
        "AAAAAAAKAAAAAAA",
        "sAAAAAKAKAAAAAs",
        "ssAAAAAAAAAAAss",
        "sssAAAAAAAAAsss",
        "sssssAAAAAsssss"}},
    {"p_barn", "Red Barn", {
        "sssssssssssssssYYsss",
        "sssssssssWWsssYYYYss",
        "ssssssssWRRWssYYYYss",
        "sssssssWRRRRWssYYsss",
        "ssssssWRRRRRRWssssss",
        "sssssWRRWWWWRRWsssss",
        "ssssWRRRWMMWRRRWssss",
        "sssWRRRRWMMWRRRRWsss",
        "ssWRRRRRWWWWRRRRRWss",
        "sWRRRRRRRRRRRRRRRRWs",
        "ssRRRRRRRRRRRRRRRRss",
        "ssRRRRWWWWWWWWRRRRss",
        "ssRRRRWWRRRRWWRRRRss",
        "ssRwwRWRWRRWRWRwwRss",
        "ssRwwRWRRWWRRWRwwRss",
        "ssRRRRWRRWWRRWRRRRss",
        "ssRRRRWRWRRWRWRRRRss",
        "ssRRRRWWRRRRWWRRRRss",
        "ggRRRRWWWWWWWWRRRRgg",
        "GGGGGGGGGGGGGGGGGGGG"}},
}};

const SetDrawing kHarbor = {"harbor", {
    {"p_shell", "Seashell", {
        "bOOOb",
        "OFOFO",
        "OFOFO",
        "bOFOb",
        "bbObb"}},
    {"p_sailboat", "Sailboat", {
        "ssssWsssss",
        "ssssWWssss",
        "ssssWWWsss",
        "ssssWWWWss",
        "ssssWWWWWs",
        "ssssTsssss",
        "TTTTTTTTTT",
        "sTTTTTTTTs",
        "bbTTTTTTbb",
        "BbbBBbbBBb"}},
    {"p_fish", "Fish", {
        "bbbbbbbbbb",
        "bbbbOObbbb",
        "bbOOOOObbO",
        "bOOOOOOOOO",
        "OOKOOOOOOb",
        "OOOOOOOOOb",
        "bOOOOOOOOO",
        "bbOOOOObbO",
        "bbbbOObbbb",
        "bbbbbbbbbb"}},
    {"p_anchor", "Anchor", {
        "ssssAAssss",
        "sssAssAsss",
        "ssssAAssss",
        "ssAAAAAAss",
        "ssssAAssss",
        "ssssAAssss",
        "AsssAAsssA",
        "AAssAAssAA",
        "AAAAAAAAAA",
        "ssAAAAAAss"}},
    {"p_crab", "Crab", {
        "RfRffffRfR",
        "RRRffffRRR",
        "fRffffffRf",
        "fRRKffKRRf",
        "ffRRRRRRff",
        "RRRRRRRRRR",
        "fRRRRRRRRf",
        "RfRRRRRRfR",
        "fRfRffRfRf",
        "ffRffffRff"}},
    {"p_lighthouse", "Lighthouse", {
        "sssssssYsssssss",
        "ssssssRRRssssss",
        "sssssYYYYYsssss",
        "ssssssRRRssssss",
        "ssssssWWWssssss",
        "ssssssRRRssssss",
        "sssssWWWWWsssss",
        "sssssRRRRRsssss",
        "sssssWWWWWsssss",
        "ssssRRRRRRRssss",
        "ssssWWWWWWWssss",
        "sssRRRRRRRRRsss",
        "bbAAAAAAAAAAAbb",
        "bAAAAAAAAAAAAAb",
        "BBBBBBBBBBBBBBB"}},
    {"p_octopus", "Octopus", {
        "bbbbbVVVVVbbbbb",
        "bbbbVVVVVVVbbwb",
        "bbbVVVVVVVVVbbb",
        "bbbVVVVVVVVVbbw",
        "bbbVWKVVVWKVbbb",
        "bbbVWKVVVWKVbbb",
        "bbbVVVVVVVVVbbb",
        "bbbbVVVVVVVbbbb",
        "bbVVVVVVVVVVVbb",
        "bVVbVVbVbVVbVVb",
        "VVbbVbbVbbVbbVV",
        "VbbVVbbVbbVVbbV",
        "VVbVbbVVVbbVbVV",
        "bVbVVbbbbbVVbVb",
        "bbbbbbbbbbbbbbb"}},
    {"p_whale", "Whale", {
        "ssssssssssssssssssss",
        "sssWsWsWssssssssssss",
        "ssssWWWsssssssssssss",
        "sssssWssssssssNNssNN",
        "sssssWssssssssNNNNNs",
        "sssNNNNNNsssssssNNss",
        "ssNNNNNNNNNsssssNNss",
        "sNNNNNNNNNNNNsssNNss",
        "NNNNWNNNNNNNNNNNNsss",
        "NNNNNNNNNNNNNNNNssss",
        "NWWWWWWWWNNNNNNNssss",
        "bbWWWWWWWWNNNNNbbbbb",
        "bbbWWWWWWWNNNbbbbbbb",
        "bbbbbbbbbbbbbbbbbbbb",
        "bwwbbbbbbwwbbbbbwwbb",
        "bbbbbbbbbbbbbbbbbbbb",
        "bbbbbwwbbbbbbwwbbbbb",
        "bbbbbbbbbbbbbbbbbbbb",
        "bBBBbbbbbbbbbbbbBBBb",
        "BBBBBBBBBBBBBBBBBBBB"}},
}};

const SetDrawing kPeaks = {"peaks", {
    {"p_moon", "Crescent Moon", {
        "nYYYn",
        "YYnnn",
        "YYnnw",
        "YYnnn",
        "nYYYn"}},
    {"p_star", "Star", {
        "ssssYYssss",
        "ssssYYssss",
        "sssYYYYsss",
        "YYYYYYYYYY",
        "sYYYYYYYYs",
        "ssYYYYYYss",
        "ssYYYYYYss",
        "sYYYssYYYs",
        "sYYssssYYs",
        "YYssssssYY"}},
    {"p_snowman", "Snowman", {
        "ssssKKKsss",
        "ssssKKKsss",
        "sssKKKKKss",
        "sssWWWWWss",
        "sssWKWKWss",
        "sssWWWOOOs",
        "TssRRRRRsT",
        "sTWWWKWWTs",
        "sWWWWKWWWs",
        "WWWWWWWWWW"}},
    {"p_mountain", "Snowy Peaks", {
        "sssssssssssYYss",
        "ssssssWsssYYYYs",
        "sssssWWWssYYYYs",
        "ssssWWWAsssYYss",
        "sssWWAAAAssssss",
        "sssAAAAAAAsssWs",
        "ssAAAAAAAAAsWWW",
        "sAAAAAAAAAAAAAA",
        "AAAAAAAAAAAAAAA",
        "AAAAAAAAAAAAAAA",
        "GGGGGGGGGGGGGGG",
        "GGDGGGGGDGGGGGG",
        "GDDDGGGDDDGGGGG",
        "GGTGGGGGTGGGGGG",
        "GGGGGGGGGGGGGGG"}},
    {"p_pine", "Snowy Pine", {
        "sssssssWsssssss",
        "sswsssWWWssssws",
        "sssssWDDDWsssss",
        "ssssssDDDssssss",
        "ssssWWWWWWWssss",
        "sssssDDDDDsssws",
        "swsWWDDDDDWWsss",
        "ssssDDDDDDDssss",
        "sssWWWWWWWWWsss",
        "sssDDDDDDDDDsss",
        "ssWWDDDDDDDWWss",
        "sWDDDDDDDDDDDWs",
        "sDDDDDDDDDDDDDs",
        "WWWWWWTTTWWWWWW",
        "WWWWWWTTTWWWWWW"}},
    {"p_cablecar", "Cable Car", {
        "kkssssssssssssssssss",
        "sskkssssssssssssssss",
        "sssskkssssssssssssss",
        "sssssskkssssssssssss",
        "sssssssKkkssssssssss",
        "sssssssKsskkssssssss",
        "sssssssKsssskkssssss",
        "ssRRRRRRRRRRsskkssss",
        "ssRwwRwwRwwRsssskkss",
        "ssRwwRwwRwwRsssssWss",
        "ssRRRRRRRRRRssssWWWs",
        "ssRRRRRRRRRRsssWWWWW",
        "sssRRRRRRRRsssAAAAAA",
        "sssWsssssssssAAAAAAA",
        "ssWWWsssssssAAAAAAAA",
        "sWWWWWsssssAAAAAAAAA",
        "AAAAAAAsssAAAAAAAAAA",
        "AAAAAAAAAAAAAAAAAAAA",
        "DADADADADADADADADADA",
        "DDDDDDDDDDDDDDDDDDDD"}},
    {"p_summit", "The Summit", {
        "sssssssssssssssssssssssss",
        "sssssssssssssssKKsssYYsss",
        "ssssssssssssOOssKssYYYYss",
        "sssssRRRRTssFFsRsssYYYYss",
        "ssssssRRRTsORRRRssssYYsss",
        "sswssRRRRTsORRRRsssssssss",
        "swwwsssssTsORRRssssssssss",
        "sssssssssTssNNNsssssswsss",
        "sssssssssTssNsNssssswwwss",
        "sssssssssTsKKsKKsssssssss",
        "sssssssssWWWWWWWWssssssss",
        "ssssssssWWWWWWWWWWssswsss",
        "sswssssWWWWWWWWWWWWswwwss",
        "swwwssWWWWWWWWWWWWWWwwwws",
        "wwwwwWWWWWWWWWWWWWWWWaaaa",
        "aaaaAAWAAAAAAfAAAAWAAAaaa",
        "aaaAAAWAAAAWAAfAAAWAAAAaa",
        "aaAAAWAAAAAWAAfAAAAWAAAAa",
        "aAAAAWAAAAWAffAAAAAWAAAAA",
        "AAAAWAAAAAWAfAAAAAAAWAAAA",
        "AAAAWAAAAWAAAffAAAAAWAAAA",
        "AAAAAAAAAWAAAAAffAAAAAAAA",
        "AAAAAAAAAAAAAAAAfAAAAAAAA",
        "AAAAAAAAAAAAAAffAAAAAAAAA",
        "AAAAAAAAAAAAAAfAAAAAAAAAA"}},
    {"p_night", "Moonlit Peaks", {
        "nnnnnnnnynnnnnnnnnnnnnnnn",
        "nnnnYYnnnnnnynnnynnnnnnnn",
        "nnnYYYnnnnnnnnnnnnnnnnnyn",
        "nnYYYnnnynnnnnnnnnynnnnnn",
        "nnYYYnnnnnnynnnnnnnnnnnnn",
        "nnYYYnnnnnnnnnnynnnnnynnn",
        "nnnYYYnnnnnnnnnnnnnnnnnnn",
        "nnnnYYnnnnnnnWnnnnnnnnnyn",
        "nnnnnnnnnynnWWWnnynnnnnnn",
        "nnnynnnnnnnWWWWWnnnnnnnnn",
        "nnnnnnnnnnWWWWWWWnnnnWnnn",
        "ynnnWnnnnAAAAAAAAAnnWWWnn",
        "nnnWWWnnAAAAAAAAAAAWWWWWn",
        "nnWWWWWAAAAAAAAAAAAAAAAAA",
        "nAAAAAAADAAAAAAAAAAAAADAA",
        "AADAAAADDDAAAAAAADAAADDDA",
        "ADDDAAADDDAAAAAADDDAADDDA",
        "ADDDAADDDDDARRAADDDADDDDD",
        "DDDDDADDDDDRRRRDDDDDDDDDD",
        "DDDDDADDDDRRRRRRDDDDDDDDD",
        "WWMWWWWWMWWTYTTWWMWWWWMWW",
        "WWWWWWWWWWWTTMTWWWWWWWWWW",
        "WWWWWWWWWWWWWWWWWWWWWWWWW",
        "WWWWWWWWWWWWWWWWWWWWWWWWW",
        "WWWWWWWWWWWWWWWWWWWWWWWWW"}},
}};

// ---- Bonus mode -------------------------------------------------------------

const SetDrawing kAttic = {"attic", {
    {"x_window", "Window", {
        "BB.BB",
        "BB.BB",
        ".....",
        "BB.BB",
        "BB.BB"}},
    {"x_key", "Old Key", {
        "..YYY.....",
        ".YY.YY....",
        ".Y...Y....",
        ".YY.YY....",
        "..YYY.....",
        "...Y......",
        "...YY.....",
        "...Y......",
        "...YYY....",
        "...Y......"}},
    {"x_umbrella", "Umbrella", {
        "ssssRRssss",
        "ssRRRRRRss",
        "sRRRRRRRRs",
        "RRRRRRRRRR",
        "RsRsTTsRsR",
        "ssssTsssss",
        "ssssTsssss",
        "ssssTsssss",
        "ssTsTsssss",
        "sssTTsssss"}},
    {"x_teddy", "Teddy Bear", {
        ".TTT.......TTT.",
        ".TFTTTTTTTTTFT.",
        ".TTTTTTTTTTTTT.",
        "..TTKTTTTTKTT..",
        "..TTTTFFFTTTT..",
        "..TTTFFKFFTTT..",
        "...TTFFFFFTT...",
        "....TTTTTTT....",
        "..TTTTTTTTTTT..",
        ".TTTTFFFFFTTTT.",
        "TTT.TFFFFFT.TTT",
        "TT..TFFFFFT..TT",
        "....TTTTTTT....",
        "..TTTT...TTTT..",
        "..FFFT...TFFF.."}},
    {"x_clock", "Alarm Clock", {
        "..RRR.....RRR..",
        ".RRRR..A..RRRR.",
        ".RRR.RRRRR.RRR.",
        "...RRRRRRRRR...",
        "..RRWWWKWWWRR..",
        ".RRWWWWKWWWWRR.",
        ".RRWKWWKWWWKRR.",
        ".RRWWWWKKKWWRR.",
        ".RRWWWWWWWWWRR.",
        ".RRWKWWWWWWKRR.",
        "..RRWWWKWWWRR..",
        "...RRRRRRRRR...",
        "....RRRRRRR....",
        "...AA.....AA...",
        "..AA.......AA.."}},
    {"x_castle", "Toy Castle", {
        ".........TRRR.......",
        ".........TRR........",
        ".........T..........",
        ".......A.AA.A.......",
        "A.A.A..AAAAAA..A.A.A",
        "AAAAA..AAAAAA..AAAAA",
        "AkAkA..AAkkAA..AkAkA",
        "AkAkA..AAkkAA..AkAkA",
        "AAAAA..AAAAAA..AAAAA",
        "AAAAAA.AAAAAA.AAAAAA",
        "AAAAAAAAAAAAAAAAAAAA",
        "AAkAAAAAAkkAAAAAAkAA",
        "AAkAAAAAAkkAAAAAAkAA",
        "AAAAAAAAAAAAAAAAAAAA",
        "AAAAAAAATTTTAAAAAAAA",
        "AAAAAAATttttTAAAAAAA",
        "AAAAAAATttttTAAAAAAA",
        "AAAAAAATttttTAAAAAAA",
        "GGGGGGGTttttTGGGGGGG",
        "GGGGGGGGggggGGGGGGGG"}},
    {"x_horse", "Rocking Horse", {
        "....................",
        "....TT..............",
        "...TFFT.............",
        "..FFFFTT............",
        ".FKFFFTTT...........",
        "FFFRFFFTTT..........",
        "FFFRFFFFTT..........",
        ".FFRFFFFFTT.........",
        "..FFFFFFFFFFFFFFFT..",
        ".....FFFFRRRFFFFTTT.",
        ".....FFFFRRRFFFFF.TT",
        ".....FFFFFFFFFFFF..T",
        "......FFFFFFFFFF....",
        ".....FF........FF...",
        "....FF..........FF..",
        "...FF............FF.",
        "T.FF..............FF",
        "TTTT..............TT",
        ".TTTTTTTTTTTTTTTTTT.",
        "...................."}},
}};

}  // namespace

namespace {

std::vector<SetDrawing> StorySets() { return {kLessons, kMeadow, kHarbor, kPeaks}; }
std::vector<SetDrawing> BonusSets() { return {kAttic}; }

struct Built {
    const Drawing* mDrawing;
    LineSolver::Layer mSolution;
    LineSolver::Layer mPicture;
    LineSolver::Result mResult;
    bool mOk = false;
    std::string mProblem;
};

Built Build(const Drawing& d, int shades) {
    Built b;
    b.mDrawing = &d;
    int n = static_cast<int>(d.mRows.size());
    b.mSolution.assign(n, std::vector<int32_t>(n, 0));
    b.mPicture.assign(n, std::vector<int32_t>(n, -1));
    for (int y = 0; y < n; ++y) {
        if (static_cast<int>(std::strlen(d.mRows[y])) != n) {
            b.mProblem = "row " + std::to_string(y) + " is not " + std::to_string(n) + " wide";
            return b;
        }
        for (int x = 0; x < n; ++x) {
            char c = d.mRows[y][x];
            if (c == '.') continue;
            int cel = CelOf(c);
            if (cel < 0) {
                b.mProblem = std::string("unknown colour letter '") + c + "'";
                return b;
            }
            bool tile = c >= 'A' && c <= 'Z';
            b.mSolution[x][y] = tile ? 1 : 0;
            b.mPicture[x][y] = cel * shades + (tile ? 0 : 1 % shades);
        }
    }
    bool anyTile = false;
    for (const auto& column : b.mSolution)
        for (int32_t v : column) anyTile |= v != 0;
    if (!anyTile) {  // the game refuses such a puzzle: it could never be solved
        b.mProblem = "no tile";
        return b;
    }
    b.mOk = LineSolver::IsLineSolvable(b.mSolution, &b.mResult);
    if (!b.mOk)
        b.mProblem = b.mResult.mContradiction ? "contradiction"
                                              : std::to_string(b.mResult.CountUnknown()) + " cells left by line logic";
    return b;
}

void PrintStuck(const Built& b) {
    int n = static_cast<int>(b.mSolution.size());
    if (b.mResult.mCells.size() != static_cast<size_t>(n)) return;
    for (int y = 0; y < n; ++y) {
        std::string row = "    ";
        for (int x = 0; x < n; ++x) {
            int8_t c = b.mResult.mCells[x][y];
            row += c == LineSolver::kUnknown ? '?' : (c == LineSolver::kFilled ? '#' : '.');
        }
        std::fprintf(stderr, "%s\n", row.c_str());
    }
}

std::string PictureCell(int32_t v) {
    if (v < 0) return "0x";
    return std::string{static_cast<char>('A' + v / 26), static_cast<char>('A' + v % 26)};
}

int Difficulty(const Built& b) {
    int n = static_cast<int>(b.mSolution.size());
    int d = n <= 5 ? 1 : n <= 10 ? 2 : n <= 15 ? 3 : 4;
    if (b.mResult.mLineSolves > 6 * n) ++d;
    return d;
}

void WriteSets(std::string& out, const std::vector<SetDrawing>& sets, int shades, bool& allOk) {
    for (const SetDrawing& set : sets) {
        out += "      <set>\n";
        for (const Drawing& d : set.mPuzzles) {
            Built b = Build(d, shades);
            if (!b.mOk) {
                allOk = false;
                std::fprintf(stderr, "%s/%s: %s\n", set.mSetName, d.mName, b.mProblem.c_str());
                PrintStuck(b);
                continue;
            }
            int n = static_cast<int>(b.mSolution.size());
            out += "        <puzzle name=\"" + std::string(d.mName) + "\" tested=\"1\" steps=\"" +
                   std::to_string((b.mResult.mLineSolves + n - 1) / n) + "\" difficulty=\"" +
                   std::to_string(Difficulty(b)) + "\">\n          <grid>\n";
            for (int y = 0; y < n; ++y) {
                out += "            ";
                for (int x = 0; x < n; ++x) out += b.mSolution[x][y] ? '1' : '0';
                out += "\n";
            }
            out += "          </grid>\n          <picture>\n";
            for (int y = 0; y < n; ++y) {
                out += "            ";
                for (int x = 0; x < n; ++x) out += PictureCell(b.mPicture[x][y]);
                out += "\n";
            }
            out += "          </picture>\n        </puzzle>\n";
        }
        out += "      </set>\n";
    }
}

std::string Escape(const char* text) {
    std::string out;
    for (const char* p = text; *p; ++p) {
        switch (*p) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += *p;
        }
    }
    return out;
}

void PrintTitles() {
    for (const auto* list : {new std::vector<SetDrawing>(StorySets()), new std::vector<SetDrawing>(BonusSets())}) {
        for (const SetDrawing& set : *list) {
            for (const Drawing& d : set.mPuzzles)
                std::printf("  <id tag=\"%s\" value=\"%s\"/>\n", d.mName, Escape(d.mTitle).c_str());
            std::printf("  <set name=\"%s\">", set.mSetName);
            for (const Drawing& d : set.mPuzzles) std::printf("<puzzle>%s</puzzle>", Escape(d.mTitle).c_str());
            std::printf("</set>\n");
        }
        delete list;
    }
}

}  // namespace

int main(int argc, char** argv) {
    int shades = 4;
    std::string outPath;
    bool titles = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--shades" && i + 1 < argc) shades = std::atoi(argv[++i]);
        else if (arg == "--out" && i + 1 < argc) outPath = argv[++i];
        else if (arg == "--titles") titles = true;
        else {
            std::fprintf(stderr, "usage: puzzlegen [--shades N] [--out FILE] [--titles]\n");
            return 2;
        }
    }
    if (shades < 2 || static_cast<int>(sizeof(kPalette) - 1) * shades > 676) {
        std::fprintf(stderr, "puzzlegen: shades must be at least 2 and fit 676 values\n");
        return 2;
    }
    if (titles) {
        PrintTitles();
        return 0;
    }
    std::string out =
        "<!-- Generated by tools/puzzlegen from its drawings; edit the drawings, not this file. -->\n"
        "<puzzles>\n  <game name=\"quiltro7\">\n    <mode>\n";
    bool allOk = true;
    WriteSets(out, StorySets(), shades, allOk);
    out += "    </mode>\n    <mode>\n";
    WriteSets(out, BonusSets(), shades, allOk);
    out += "    </mode>\n  </game>\n</puzzles>\n";
    if (!allOk) {
        std::fprintf(stderr, "puzzlegen: some drawings are not solvable by line logic; nothing written\n");
        return 1;
    }
    if (outPath.empty()) {
        std::fputs(out.c_str(), stdout);
        return 0;
    }
    FILE* f = std::fopen(outPath.c_str(), "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "puzzlegen: cannot write %s\n", outPath.c_str());
        return 1;
    }
    std::fprintf(stderr, "puzzlegen: wrote %s\n", outPath.c_str());
    return 0;
}
