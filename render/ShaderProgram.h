#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/ScriptValue.h"

// A program's constants as they stood when a draw was recorded, for drawing
// it later the same.
struct ShaderConstantValue {
    std::string mName;
    float mValues[4] = {0, 0, 0, 0};
    int mCount = 1;
};
using ShaderConstantValues = std::vector<ShaderConstantValue>;

// A GLSL program loaded from the data ("shaders/<name>.vert" and ".frag").
// Constants are set once, or bound to a checked reference that is read at
// each draw; a reference whose object is gone leaves the last value.
class ShaderProgram {
public:
    // The loaded program, cached by name; null when the sources are missing or
    // do not compile (the reason goes to the log). Owned by the cache.
    static ShaderProgram* Load(const std::string& name);
    static void UnloadAll();

    explicit ShaderProgram(std::string name);
    ~ShaderProgram();

    bool LoadSources(const std::string& vertexSource, const std::string& fragmentSource);
    void SetConstant(const std::string& name, float value);
    void SetConstant(const std::string& name, const float* values, int count);
    // The value is read through the reference each time the program draws.
    bool BindConstant(const std::string& name, const ScriptValue& reference);
    void UnbindConstant(const std::string& name);
    float GetConstant(const std::string& name) const;

    // Reads bound references and hands every constant to the backend.
    void ApplyConstants();
    // Reads bound references and returns every constant's value.
    ShaderConstantValues TakeConstants();
    // Hands values taken earlier to the backend.
    void ApplyConstants(const ShaderConstantValues& values);
    // The program on the current device, compiled again after a device change;
    // 0 when it does not compile.
    uint32_t GetHandle();
    const std::string& GetName() const { return mName; }
    // Drops programs made by a device that is going away.
    static void ReleaseDevice(class D3DInterface* device);

private:
    void Release();
    struct Constant {
        float mValues[4] = {0, 0, 0, 0};
        int mCount = 1;
        bool mBound = false;
        ScriptValue mReference;
    };
    std::string mName;
    std::string mVertexSource;
    std::string mFragmentSource;
    class D3DInterface* mOwner = nullptr;
    bool mFailed = false;
    uint32_t mHandle = 0;
    std::map<std::string, Constant> mConstants;
};
