#include "platform/gl/GLBackend.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/gl/GLFrame.h"

namespace {

// Every target is a framebuffer object whose row 0 is the top of the
// picture, the same as uploaded pixels; only the window is drawn flipped.
const char* kVertexSource = R"(#version 330 core
layout(location = 0) in vec2 aPos;
layout(location = 1) in vec2 aUV;
layout(location = 2) in vec4 aColor;
uniform vec2 uTargetSize;
uniform float uFlip;
out vec2 vUV;
out vec4 vColor;
void main() {
    vec2 ndc = aPos / uTargetSize * 2.0 - 1.0;
    if (uFlip > 0.5) ndc.y = -ndc.y;
    gl_Position = vec4(ndc, 0.0, 1.0);
    vUV = aUV;
    vColor = aColor;
}
)";

// The output is premultiplied: targets hold premultiplied colour.
const char* kFragmentSource = R"(#version 330 core
in vec2 vUV;
in vec4 vColor;
uniform sampler2D uTexture;
uniform int uMode;
out vec4 fragColor;
void main() {
    vec4 c;
    if (uMode == 0) {
        c = vec4(vColor.rgb * vColor.a, vColor.a);
    } else if (uMode == 1) {
        c = texture(uTexture, vUV) * vColor;
        c.rgb *= c.a;
    } else {
        c = texture(uTexture, vUV) * vec4(vColor.rgb * vColor.a, vColor.a);
    }
    fragColor = c;
}
)";

struct ProgramInfo {
    GLuint mId = 0;
    GLint mTargetSize = -1, mFlip = -1, mTexture = -1, mMode = -1, mDest = -1;
    std::map<std::string, GLint> mLocations;
};

const char* ErrorName(GLenum error) {
    switch (error) {
    case GL_INVALID_ENUM: return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return "GL_INVALID_OPERATION";
    case GL_OUT_OF_MEMORY: return "GL_OUT_OF_MEMORY";
    case GL_INVALID_FRAMEBUFFER_OPERATION: return "GL_INVALID_FRAMEBUFFER_OPERATION";
    default: return "GL error";
    }
}

class GLBackend : public GpuBackend {
public:
    bool Init(std::string* error);
    ~GLBackend() override;

    bool IsNull() const override { return false; }
    std::string GetName() const override { return mName; }
    int GetMaxTextureSize() const override { return mMaxTextureSize; }

    uint32_t CreateTexture(int width, int height, const uint32_t* pixels) override;
    void UpdateTexture(uint32_t texture, int width, int height, const uint32_t* pixels) override;
    void DeleteTexture(uint32_t texture) override;
    uint32_t CreateTarget(uint32_t texture, int width, int height) override;
    void DeleteTarget(uint32_t target) override;
    void ClearTarget(uint32_t target, int width, int height, float r, float g, float b,
                     float a) override;
    bool ReadPixels(uint32_t target, int targetHeight, int x, int y, int width, int height,
                    uint32_t* out) override;
    bool CopyTargetToTexture(uint32_t target, uint32_t texture, int width, int height) override;
    bool CopyWindowToTexture(uint32_t texture, int width, int height, int drawableHeight) override;
    uint32_t CreateProgram(const std::string& vertexSource, const std::string& fragmentSource,
                           std::string* error) override;
    void DeleteProgram(uint32_t program) override;
    void SetProgramConstant(uint32_t program, const std::string& name, const float* values,
                            int count) override;
    void DrawQuads(const GpuDrawState& state, const GpuVertex* vertices, int quadCount) override;
    void UploadQuads(const GpuVertex* vertices, int vertexCount, const uint32_t* quads, int quadCount) override;
    void DrawUploadedQuads(const GpuDrawState& state, int first, int count) override;
    void PresentTexture(uint32_t texture, int drawableWidth, int drawableHeight, int viewX,
                        int viewY, int viewWidth, int viewHeight) override;
    void PresentTexturePart(uint32_t texture, int drawableWidth, int drawableHeight, int viewX, int viewY,
                            int viewWidth, int viewHeight, const Viewport& part) override;
    std::string TakeError() override;

private:
    GLuint Compile(GLenum type, const std::string& source, std::string* error);
    ProgramInfo* FindProgram(uint32_t program);
    void UseProgram(ProgramInfo& program, int targetWidth, int targetHeight, bool flip, int mode);
    void ApplyBlend(GpuBlend blend);
    void EnsureIndices(int quadCount);
    // Binds the target and sets the viewport, scissor, program, blending
    // and texture of a draw; false when nothing can be drawn.
    bool ApplyState(const GpuDrawState& state);
    // The attribute layout of GpuVertex on the bound array buffer.
    static void DescribeVertices();
    // The frame's texture over the viewport of the default framebuffer.
    void DrawFrameQuad(uint32_t texture, int drawableHeight, int viewX, int viewY, int viewWidth, int viewHeight);
    bool EnsureScratch(int width, int height);
    // Texture storage, its pixels undefined without `pixels`.
    GLuint NewTexture(int width, int height, const uint32_t* pixels);

    std::string mName;
    int mMaxTextureSize = 2048;
    GLuint mVao = 0, mVbo = 0, mIbo = 0;
    // One frame's quads, sent once (UploadQuads).
    GLuint mFrameVao = 0, mFrameVbo = 0, mFrameIbo = 0;
    std::vector<uint32_t> mFrameIndices;
    int mIndexQuads = 0;
    ProgramInfo mDefault;
    std::map<uint32_t, ProgramInfo> mPrograms;
    GLuint mScratch = 0;  // copy of the destination for overlay and softlight
    int mScratchWidth = 0, mScratchHeight = 0;
    std::string mPendingError;
};

bool GLBackend::Init(std::string* error) {
    if (epoxy_gl_version() < 33) {
        if (error) *error = "OpenGL 3.3 is not available";
        return false;
    }
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    mName = std::string("OpenGL ") + (renderer ? renderer : "");
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &mMaxTextureSize);
    std::string compileError;
    uint32_t id = CreateProgram(kVertexSource, kFragmentSource, &compileError);
    if (!id) {
        if (error) *error = "built-in shader: " + compileError;
        return false;
    }
    mDefault = mPrograms[id];
    mPrograms.erase(id);
    glGenVertexArrays(1, &mVao);
    glBindVertexArray(mVao);
    glGenBuffers(1, &mVbo);
    glGenBuffers(1, &mIbo);
    glBindBuffer(GL_ARRAY_BUFFER, mVbo);
    DescribeVertices();
    EnsureIndices(256);
    glGenVertexArrays(1, &mFrameVao);
    glBindVertexArray(mFrameVao);
    glGenBuffers(1, &mFrameVbo);
    glGenBuffers(1, &mFrameIbo);
    glBindBuffer(GL_ARRAY_BUFFER, mFrameVbo);
    DescribeVertices();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mFrameIbo);
    glBindVertexArray(mVao);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::string pending = TakeError();
    if (!pending.empty()) {
        if (error) *error = "set-up: " + pending;
        return false;
    }
    return true;
}

void GLBackend::DescribeVertices() {
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(GpuVertex),
                          reinterpret_cast<void*>(offsetof(GpuVertex, mX)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(GpuVertex),
                          reinterpret_cast<void*>(offsetof(GpuVertex, mU)));
    glEnableVertexAttribArray(2);
    // 0xAARRGGBB in memory is B, G, R, A.
    glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(GpuVertex),
                          reinterpret_cast<void*>(offsetof(GpuVertex, mColor)));
}

GLBackend::~GLBackend() {
    for (auto& [id, program] : mPrograms) glDeleteProgram(program.mId);
    if (mDefault.mId) glDeleteProgram(mDefault.mId);
    if (mScratch) glDeleteTextures(1, &mScratch);
    if (mVbo) glDeleteBuffers(1, &mVbo);
    if (mIbo) glDeleteBuffers(1, &mIbo);
    if (mVao) glDeleteVertexArrays(1, &mVao);
    if (mFrameVbo) glDeleteBuffers(1, &mFrameVbo);
    if (mFrameIbo) glDeleteBuffers(1, &mFrameIbo);
    if (mFrameVao) glDeleteVertexArrays(1, &mFrameVao);
}

void GLBackend::EnsureIndices(int quadCount) {
    if (quadCount <= mIndexQuads) return;
    int quads = mIndexQuads ? mIndexQuads : 256;
    while (quads < quadCount) quads *= 2;
    std::vector<uint32_t> indices(static_cast<size_t>(quads) * 6);
    for (int q = 0; q < quads; ++q) {
        uint32_t base = static_cast<uint32_t>(q) * 4;
        uint32_t* i = &indices[static_cast<size_t>(q) * 6];
        i[0] = base; i[1] = base + 1; i[2] = base + 2;
        i[3] = base; i[4] = base + 2; i[5] = base + 3;
    }
    glBindVertexArray(mVao);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mIbo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(uint32_t)),
                 indices.data(), GL_STATIC_DRAW);
    mIndexQuads = quads;
}

uint32_t GLBackend::CreateTexture(int width, int height, const uint32_t* pixels) {
    GLuint texture = NewTexture(width, height, pixels);
    if (texture && !pixels) {
        // Transparent, made by the GPU: a buffer of zeros to upload cost the
        // first frame its render target's size in fresh pages twice over.
        GLuint fbo = 0;
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
        ClearTarget(fbo, width, height, 0.0f, 0.0f, 0.0f, 0.0f);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &fbo);
    }
    return texture;
}

GLuint GLBackend::NewTexture(int width, int height, const uint32_t* pixels) {
    if (width <= 0 || height <= 0 || width > mMaxTextureSize || height > mMaxTextureSize) return 0;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    return texture;
}

void GLBackend::UpdateTexture(uint32_t texture, int width, int height, const uint32_t* pixels) {
    if (!texture || !pixels) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
}

void GLBackend::DeleteTexture(uint32_t texture) {
    GLuint id = texture;
    if (id) glDeleteTextures(1, &id);
}

uint32_t GLBackend::CreateTarget(uint32_t texture, int width, int height) {
    if (!texture || width <= 0 || height <= 0) return 0;
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        glDeleteFramebuffers(1, &fbo);
        mPendingError = "framebuffer incomplete";
        return 0;
    }
    return fbo;
}

void GLBackend::DeleteTarget(uint32_t target) {
    GLuint id = target;
    if (id) glDeleteFramebuffers(1, &id);
}

void GLBackend::ClearTarget(uint32_t target, int width, int height, float r, float g, float b,
                            float a) {
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    glViewport(0, 0, width, height);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(r * a, g * a, b * a, a);
    glClear(GL_COLOR_BUFFER_BIT);
}

bool GLBackend::ReadPixels(uint32_t target, int targetHeight, int x, int y, int width, int height,
                           uint32_t* out) {
    if (!out || width <= 0 || height <= 0) return false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
    if (target) {
        glReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, out);
    } else {
        // The window's rows run bottom-up.
        std::vector<uint32_t> rows(static_cast<size_t>(width) * static_cast<size_t>(height));
        glReadPixels(x, targetHeight - y - height, width, height, GL_BGRA, GL_UNSIGNED_BYTE,
                     rows.data());
        for (int row = 0; row < height; ++row)
            std::copy_n(&rows[static_cast<size_t>(height - 1 - row) * width], width,
                        &out[static_cast<size_t>(row) * width]);
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        mPendingError = ErrorName(error);
        return false;
    }
    return true;
}

bool GLBackend::CopyTargetToTexture(uint32_t target, uint32_t texture, int width, int height) {
    if (!texture) return false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        mPendingError = ErrorName(error);
        return false;
    }
    return true;
}

bool GLBackend::CopyWindowToTexture(uint32_t texture, int width, int height, int drawableHeight) {
    if (!texture) return false;
    GLuint fbo = 0;
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    // The window's rows run bottom-up: the blit turns them over.
    glBlitFramebuffer(0, drawableHeight - height, width, drawableHeight, 0, height, width, 0, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &fbo);
    GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        mPendingError = ErrorName(error);
        return false;
    }
    return true;
}

GLuint GLBackend::Compile(GLenum type, const std::string& source, std::string* error) {
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(shader, sizeof(log) - 1, nullptr, log);
        if (error) *error = log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

uint32_t GLBackend::CreateProgram(const std::string& vertexSource,
                                  const std::string& fragmentSource, std::string* error) {
    GLuint vs = Compile(GL_VERTEX_SHADER, vertexSource, error);
    if (!vs) return 0;
    GLuint fs = Compile(GL_FRAGMENT_SHADER, fragmentSource, error);
    if (!fs) {
        glDeleteShader(vs);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindAttribLocation(program, 0, "aPos");
    glBindAttribLocation(program, 1, "aUV");
    glBindAttribLocation(program, 2, "aColor");
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetProgramInfoLog(program, sizeof(log) - 1, nullptr, log);
        if (error) *error = log;
        glDeleteProgram(program);
        return 0;
    }
    ProgramInfo info;
    info.mId = program;
    info.mTargetSize = glGetUniformLocation(program, "uTargetSize");
    info.mFlip = glGetUniformLocation(program, "uFlip");
    info.mTexture = glGetUniformLocation(program, "uTexture");
    info.mMode = glGetUniformLocation(program, "uMode");
    info.mDest = glGetUniformLocation(program, "uDest");
    mPrograms[program] = info;
    return program;
}

void GLBackend::DeleteProgram(uint32_t program) {
    auto it = mPrograms.find(program);
    if (it == mPrograms.end()) return;
    glDeleteProgram(it->second.mId);
    mPrograms.erase(it);
}

ProgramInfo* GLBackend::FindProgram(uint32_t program) {
    auto it = mPrograms.find(program);
    return it == mPrograms.end() ? nullptr : &it->second;
}

void GLBackend::SetProgramConstant(uint32_t program, const std::string& name, const float* values,
                                   int count) {
    ProgramInfo* info = FindProgram(program);
    if (!info) return;
    auto it = info->mLocations.find(name);
    GLint location = it != info->mLocations.end()
                         ? it->second
                         : (info->mLocations[name] = glGetUniformLocation(info->mId, name.c_str()));
    if (location < 0) return;
    glUseProgram(info->mId);
    switch (count) {
    case 1: glUniform1fv(location, 1, values); break;
    case 2: glUniform2fv(location, 1, values); break;
    case 3: glUniform3fv(location, 1, values); break;
    default: glUniform4fv(location, 1, values); break;
    }
}

void GLBackend::UseProgram(ProgramInfo& program, int targetWidth, int targetHeight, bool flip,
                           int mode) {
    glUseProgram(program.mId);
    if (program.mTargetSize >= 0)
        glUniform2f(program.mTargetSize, static_cast<float>(targetWidth),
                    static_cast<float>(targetHeight));
    if (program.mFlip >= 0) glUniform1f(program.mFlip, flip ? 1.0f : 0.0f);
    if (program.mTexture >= 0) glUniform1i(program.mTexture, 0);
    if (program.mDest >= 0) glUniform1i(program.mDest, 1);
    if (program.mMode >= 0) glUniform1i(program.mMode, mode);
}

void GLBackend::ApplyBlend(GpuBlend blend) {
    glEnable(GL_BLEND);
    switch (blend) {
    case GpuBlend::Additive:
        glBlendEquation(GL_FUNC_ADD);
        glBlendFuncSeparate(GL_ONE, GL_ONE, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case GpuBlend::Multiply:
        glBlendEquation(GL_FUNC_ADD);
        glBlendFuncSeparate(GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
        break;
    case GpuBlend::Subtractive:
        glBlendEquationSeparate(GL_FUNC_REVERSE_SUBTRACT, GL_FUNC_ADD);
        glBlendFuncSeparate(GL_ONE, GL_ONE, GL_ZERO, GL_ONE);
        break;
    case GpuBlend::MaskAlpha:
        glBlendEquation(GL_FUNC_ADD);
        glBlendFuncSeparate(GL_ZERO, GL_SRC_ALPHA, GL_ZERO, GL_SRC_ALPHA);
        break;
    case GpuBlend::Replace:
    case GpuBlend::Overlay:
    case GpuBlend::SoftLight:
        glDisable(GL_BLEND);
        break;
    case GpuBlend::Normal:
    default:
        glBlendEquation(GL_FUNC_ADD);
        glBlendFuncSeparate(GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        break;
    }
}

bool GLBackend::EnsureScratch(int width, int height) {
    if (mScratch && mScratchWidth == width && mScratchHeight == height) return true;
    if (mScratch) glDeleteTextures(1, &mScratch);
    mScratch = NewTexture(width, height, nullptr);  // each use copies the destination in first
    mScratchWidth = width;
    mScratchHeight = height;
    return mScratch != 0;
}

bool GLBackend::ApplyState(const GpuDrawState& state) {
    if (state.mTargetWidth <= 0 || state.mTargetHeight <= 0) return false;
    GpuBlend blend = state.mBlend;
    ProgramInfo* program = state.mProgram ? FindProgram(state.mProgram) : nullptr;
    bool readsDest = blend == GpuBlend::Overlay || blend == GpuBlend::SoftLight;
    if (readsDest && !program) blend = GpuBlend::Normal;  // no shader: plain blending

    glBindFramebuffer(GL_FRAMEBUFFER, state.mTarget);
    glViewport(0, 0, state.mTargetWidth, state.mTargetHeight);
    if (readsDest && program) {
        // The shader blends with a copy of what is under it.
        if (EnsureScratch(state.mTargetWidth, state.mTargetHeight)) {
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, mScratch);
            // Only what the draw may touch is read: the copy keeps its
            // place, as the shader reads it where it draws.
            int x = 0, y = 0, w = state.mTargetWidth, h = state.mTargetHeight;
            if (state.mScissor) {
                x = state.mScissorX;
                w = state.mScissorWidth;
                h = state.mScissorHeight;
                y = state.mTarget ? state.mScissorY : state.mTargetHeight - state.mScissorY - state.mScissorHeight;
            }
            glDisable(GL_SCISSOR_TEST);
            if (w > 0 && h > 0) glCopyTexSubImage2D(GL_TEXTURE_2D, 0, x, y, x, y, w, h);
            glActiveTexture(GL_TEXTURE0);
        }
    }
    if (state.mScissor) {
        glEnable(GL_SCISSOR_TEST);
        int y = state.mTarget ? state.mScissorY
                              : state.mTargetHeight - state.mScissorY - state.mScissorHeight;
        glScissor(state.mScissorX, y, state.mScissorWidth, state.mScissorHeight);
    } else {
        glDisable(GL_SCISSOR_TEST);
    }
    int mode = state.mTexture == 0 ? 0 : state.mTexturePremultiplied ? 2 : 1;
    UseProgram(program ? *program : mDefault, state.mTargetWidth, state.mTargetHeight,
               state.mTarget == 0, mode);
    ApplyBlend(blend);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, state.mTexture);
    return true;
}

void GLBackend::DrawQuads(const GpuDrawState& state, const GpuVertex* vertices, int quadCount) {
    if (quadCount <= 0 || !ApplyState(state)) return;
    EnsureIndices(quadCount);
    glBindVertexArray(mVao);
    glBindBuffer(GL_ARRAY_BUFFER, mVbo);
    GLsizeiptr bytes = static_cast<GLsizeiptr>(quadCount) * 4 * static_cast<GLsizeiptr>(sizeof(GpuVertex));
    glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_STREAM_DRAW);  // orphan the old store
    glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, vertices);
    glDrawElements(GL_TRIANGLES, quadCount * 6, GL_UNSIGNED_INT, nullptr);
}

void GLBackend::UploadQuads(const GpuVertex* vertices, int vertexCount, const uint32_t* quads, int quadCount) {
    // Two stores for the whole frame, where a store per draw cost the
    // driver an allocation, a copy and fresh pages for each.
    mFrameIndices.resize(static_cast<size_t>(std::max(quadCount, 0)) * 6);
    for (int q = 0; q < quadCount; ++q) {
        const uint32_t base = quads[q] * 4;
        uint32_t* i = &mFrameIndices[static_cast<size_t>(q) * 6];
        i[0] = base; i[1] = base + 1; i[2] = base + 2;
        i[3] = base; i[4] = base + 2; i[5] = base + 3;
    }
    glBindVertexArray(mFrameVao);
    glBindBuffer(GL_ARRAY_BUFFER, mFrameVbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(std::max(vertexCount, 0)) * static_cast<GLsizeiptr>(sizeof(GpuVertex)),
                 vertices, GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(mFrameIndices.size() * sizeof(uint32_t)),
                 mFrameIndices.data(), GL_STREAM_DRAW);
    glBindVertexArray(mVao);
}

void GLBackend::DrawUploadedQuads(const GpuDrawState& state, int first, int count) {
    if (first < 0 || count <= 0 || static_cast<size_t>(first + count) * 6 > mFrameIndices.size()) return;
    if (!ApplyState(state)) return;
    glBindVertexArray(mFrameVao);
    glDrawElements(GL_TRIANGLES, count * 6, GL_UNSIGNED_INT,
                   reinterpret_cast<void*>(static_cast<uintptr_t>(first) * 6 * sizeof(uint32_t)));
    glBindVertexArray(mVao);
}

void GLBackend::PresentTexture(uint32_t texture, int drawableWidth, int drawableHeight, int viewX,
                               int viewY, int viewWidth, int viewHeight) {
    // The frame covers the viewport (drawn without blending): only the bars
    // around it need clearing.
    bool show = texture && viewWidth > 0 && viewHeight > 0;
    Viewport view;
    if (show) view = Viewport{viewX, viewY, viewWidth, viewHeight};
    GLClearBars(drawableWidth, drawableHeight, view);
    if (!show) return;
    DrawFrameQuad(texture, drawableHeight, viewX, viewY, viewWidth, viewHeight);
}

void GLBackend::PresentTexturePart(uint32_t texture, int drawableWidth, int drawableHeight, int viewX, int viewY,
                                   int viewWidth, int viewHeight, const Viewport& part) {
    if (!texture || viewWidth <= 0 || viewHeight <= 0 || part.width <= 0 || part.height <= 0) return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, drawableWidth, drawableHeight);
    glEnable(GL_SCISSOR_TEST);
    glScissor(part.x, drawableHeight - part.y - part.height, part.width, part.height);
    DrawFrameQuad(texture, drawableHeight, viewX, viewY, viewWidth, viewHeight);
    glDisable(GL_SCISSOR_TEST);
}

void GLBackend::DrawFrameQuad(uint32_t texture, int drawableHeight, int viewX, int viewY, int viewWidth,
                              int viewHeight) {
    glViewport(viewX, drawableHeight - viewY - viewHeight, viewWidth, viewHeight);
    float w = static_cast<float>(viewWidth), h = static_cast<float>(viewHeight);
    GpuVertex quad[4] = {{0, 0, 0, 0, 0xFFFFFFFFu},
                         {w, 0, 1, 0, 0xFFFFFFFFu},
                         {w, h, 1, 1, 0xFFFFFFFFu},
                         {0, h, 0, 1, 0xFFFFFFFFu}};
    UseProgram(mDefault, viewWidth, viewHeight, true, 2);
    glDisable(GL_BLEND);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBindVertexArray(mVao);
    glBindBuffer(GL_ARRAY_BUFFER, mVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quad), quad, GL_STREAM_DRAW);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
}

std::string GLBackend::TakeError() {
    std::string text;
    text.swap(mPendingError);
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        if (!text.empty()) text += ", ";
        text += ErrorName(error);
    }
    return text;
}

}  // namespace

std::unique_ptr<GpuBackend> CreateGLBackend(std::string* error) {
    auto backend = std::make_unique<GLBackend>();
    if (!backend->Init(error)) return nullptr;
    return backend;
}
