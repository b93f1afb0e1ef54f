#include "render/ShaderProgram.h"

#include <algorithm>

#include <mutex>

#include "core/Log.h"
#include "data/PakInterface.h"
#include "render/D3DInterface.h"

namespace {
std::mutex gCacheLock;
std::map<std::string, std::unique_ptr<ShaderProgram>>& Cache() {
    static auto* cache = new std::map<std::string, std::unique_ptr<ShaderProgram>>();
    return *cache;
}
}  // namespace

ShaderProgram* ShaderProgram::Load(const std::string& name) {
    std::lock_guard<std::mutex> lock(gCacheLock);
    auto& cache = Cache();
    auto it = cache.find(name);
    if (it != cache.end()) return it->second.get();
    std::string vertex, fragment;
    std::unique_ptr<ShaderProgram> program;
    if (!ReadDataFile("shaders/" + name + ".vert", vertex) ||
        !ReadDataFile("shaders/" + name + ".frag", fragment)) {
        DebugPrintf("ShaderProgram::Load: no sources for shader '%s'\n", name.c_str());
    } else {
        program = std::make_unique<ShaderProgram>(name);
        if (!program->LoadSources(vertex, fragment)) program.reset();
    }
    // Failures are remembered too, so a missing shader is reported once.
    ShaderProgram* result = program.get();
    cache[name] = std::move(program);
    return result;
}

void ShaderProgram::UnloadAll() {
    std::lock_guard<std::mutex> lock(gCacheLock);
    Cache().clear();
}

void ShaderProgram::ReleaseDevice(D3DInterface* device) {
    std::lock_guard<std::mutex> lock(gCacheLock);
    for (auto& [name, program] : Cache())
        if (program && program->mOwner == device) program->Release();
}

ShaderProgram::ShaderProgram(std::string name) : mName(std::move(name)) {}

ShaderProgram::~ShaderProgram() { Release(); }

void ShaderProgram::Release() {
    if (mHandle && mOwner) mOwner->GetBackend().DeleteProgram(mHandle);
    mHandle = 0;
    mOwner = nullptr;
}

bool ShaderProgram::LoadSources(const std::string& vertexSource,
                                const std::string& fragmentSource) {
    Release();
    mVertexSource = vertexSource;
    mFragmentSource = fragmentSource;
    mFailed = false;
    return GetHandle() != 0;
}

uint32_t ShaderProgram::GetHandle() {
    D3DInterface* device = D3DInterface::Get();
    if (mOwner == device && mHandle) return mHandle;
    if (mOwner != device) {
        Release();
        mFailed = false;
    }
    if (mFailed) return 0;
    std::string error;
    mHandle = device->GetBackend().CreateProgram(mVertexSource, mFragmentSource, &error);
    if (!mHandle) {
        mFailed = true;
        device->CheckResult("CompileShader " + mName + " " + error, false);
        return 0;
    }
    mOwner = device;
    return mHandle;
}

void ShaderProgram::SetConstant(const std::string& name, float value) {
    SetConstant(name, &value, 1);
}

void ShaderProgram::SetConstant(const std::string& name, const float* values, int count) {
    Constant& constant = mConstants[name];
    constant.mCount = count < 1 ? 1 : count > 4 ? 4 : count;
    for (int i = 0; i < constant.mCount; ++i) constant.mValues[i] = values[i];
    constant.mBound = false;
    constant.mReference = ScriptValue();
}

bool ShaderProgram::BindConstant(const std::string& name, const ScriptValue& reference) {
    // Only a checked reference may be bound; anything else would be a value.
    if (reference.GetType() != ScriptValue::Ref) return false;
    Constant& constant = mConstants[name];
    constant.mCount = 1;
    constant.mBound = true;
    constant.mReference = reference;
    float value = 0.0f;
    if (reference.ReadRef(value)) constant.mValues[0] = value;
    return true;
}

void ShaderProgram::UnbindConstant(const std::string& name) {
    auto it = mConstants.find(name);
    if (it == mConstants.end()) return;
    it->second.mBound = false;
    it->second.mReference = ScriptValue();
}

float ShaderProgram::GetConstant(const std::string& name) const {
    auto it = mConstants.find(name);
    return it == mConstants.end() ? 0.0f : it->second.mValues[0];
}

ShaderConstantValues ShaderProgram::TakeConstants() {
    ShaderConstantValues values;
    for (auto& [name, constant] : mConstants) {
        float value = 0.0f;
        if (constant.mBound && constant.mReference.ReadRef(value)) constant.mValues[0] = value;
        ShaderConstantValue& out = values.emplace_back();
        out.mName = name;
        std::copy_n(constant.mValues, 4, out.mValues);
        out.mCount = constant.mCount;
    }
    return values;
}

void ShaderProgram::ApplyConstants(const ShaderConstantValues& values) {
    uint32_t handle = GetHandle();
    if (!handle) return;
    GpuBackend& backend = D3DInterface::Get()->GetBackend();
    for (const ShaderConstantValue& value : values) backend.SetProgramConstant(handle, value.mName, value.mValues, value.mCount);
}

void ShaderProgram::ApplyConstants() {
    uint32_t handle = GetHandle();
    GpuBackend& backend = D3DInterface::Get()->GetBackend();
    for (auto& [name, constant] : mConstants) {
        float value = 0.0f;
        // A reference whose object has gone keeps the last value it gave.
        if (constant.mBound && constant.mReference.ReadRef(value)) constant.mValues[0] = value;
        if (handle) backend.SetProgramConstant(handle, name, constant.mValues, constant.mCount);
    }
}
