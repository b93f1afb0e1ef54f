#pragma once
#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "data/Animation.h"
#include "data/Parser.h"

// The loader of animations.xml:
//   <animations>
//     <include file="more.xml"/>            (relative to the including file)
//     <animation name="...">
//       <command attr="expression" if="..." unless="..."> child commands </command>
//     </animation>
//   </animations>
// The table is built privately; Publish() hands it to GetAnimation.
class AnimationStats : public Parser {
public:
    static constexpr int kMaxIncludeDepth = 16;
    static constexpr int kMaxCommandDepth = 64;

    // Reads the file and everything it includes, adding to this loader's
    // table. False (GetErrorText names file and line) on any fault.
    bool LoadAnimations(const std::string& path);
    bool LoadAnimationsFromString(const std::string& xml, const std::string& nameForErrors);

    const AnimationTable& GetTable() const { return mTable; }

    // Told of every record as it loads (compiled, with its file and line),
    // the script layer resolves what it can ahead of the run: the slot of the
    // name's handlers (a name no handler could ever take is reported and
    // left to do nothing) and the slots of the property names it lists.
    // False, with the reason in `error`, when the record names something no
    // object could ever have: the load fails there, with the file and line.
    // The script layer installs it with its command registry.
    using CommandCheck = bool (*)(AnimationCommand& command, std::string& error);
    static void SetCommandCheck(CommandCheck check);
    // Moves the table into the global one (the loader is empty afterwards).
    void Publish();

protected:
    bool OnElementStart(const XMLElement& element) override;
    bool OnElementEnd(const XMLElement& element) override;

private:
    bool Fail(const std::string& message);
    bool Include();

    static std::atomic<CommandCheck> sCommandCheck;

    AnimationTable mTable;
    Animation* mAnimation = nullptr;          // the animation being read
    const std::string* mAnimationFile = nullptr;  // its file's interned name
    std::vector<AnimationCommand*> mOpen;     // its open commands, innermost last
    std::vector<std::string> mFiles;          // files being read, innermost last
    int mRootDepth = 0;                       // elements open above the animations
    std::string mIncludeError;                // why an include was refused before reading
};

// Loads "properties/animations.xml" (or the given file) and publishes it.
bool LoadAnimationsFile(const std::string& path, std::string* error);
