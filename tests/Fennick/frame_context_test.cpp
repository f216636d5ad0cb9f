// The frame context's per-frame derivation and the ContextBuffer declaration (no device).
#include "Fennick/frame_context.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Fennick::gfx;

namespace {

Mat4 sequence(float first) {
    Mat4 m;
    for (int i = 0; i < 16; ++i)
        m.m[i] = first + float(i) * (i % 5 == 0 ? 1.0f : 0.25f);
    return m;
}

bool sameBytes(const Mat4& a, const Mat4& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool isZero(const Mat4& a) {
    return sameBytes(a, Mat4{});
}

ContextData frameInput(float time, uint32_t frame, const Mat4& modelView, const Mat4& projection) {
    ContextData in = {};
    in.time = time;
    in.frame = frame;
    in.elapsedTime = 0.016f;
    in.resolution[0] = 1600.0f;
    in.resolution[1] = 900.0f;
    in.aspectRatio = 99.0f; // derived values of the input are ignored
    in.invResolution[0] = 5.0f;
    in.modelView = modelView;
    in.projection = projection;
    in.lastModelView = sequence(100.0f);
    return in;
}

} // namespace

TEST(FrameContext, UpdateDerivesValuesAndKeepsThePreviousMatrices) {
    frameContext().data = ContextData{};
    const Mat4 view1 = sequence(1.0f), projection1 = sequence(2.0f);
    const Mat4 view2 = sequence(3.0f), projection2 = sequence(-4.0f);

    updateFrameContext(frameInput(1.5f, 7, view1, projection1));
    const ContextData& d = frameContextData();
    EXPECT_EQ(d.time, 1.5f);
    EXPECT_EQ(d.frame, 7u);
    EXPECT_EQ(d.elapsedTime, 0.016f);
    EXPECT_FLOAT_EQ(d.aspectRatio, 1.7777778f);
    EXPECT_EQ(d.aspectRatio, (1.0f / 900.0f) * 1600.0f);
    EXPECT_FLOAT_EQ(d.invResolution[0], 0.000625f);
    EXPECT_FLOAT_EQ(d.invResolution[1], 0.0011111111f);
    EXPECT_TRUE(isZero(d.lastModelView));
    EXPECT_TRUE(isZero(d.lastProjection));
    EXPECT_TRUE(isZero(d.lastModelViewProjection));
    EXPECT_TRUE(sameBytes(d.modelViewProjection, multiply(view1, projection1)));
    EXPECT_TRUE(sameBytes(d.invModelView, inverse(view1)));
    EXPECT_TRUE(sameBytes(d.invProjection, inverse(projection1)));
    EXPECT_TRUE(sameBytes(d.invModelViewProjection, inverse(multiply(view1, projection1))));
    EXPECT_EQ(frameContext().bufferDesc.constant, 1);
    EXPECT_EQ(frameContext().bufferDesc.stride, kContextDataSize);
    EXPECT_EQ(frameContext().bufferDesc.countX, 1u);

    updateFrameContext(frameInput(1.6f, 8, view2, projection2));
    EXPECT_TRUE(sameBytes(d.lastModelView, view1));
    EXPECT_TRUE(sameBytes(d.lastProjection, projection1));
    EXPECT_TRUE(sameBytes(d.lastModelViewProjection, multiply(view1, projection1)));
    EXPECT_TRUE(sameBytes(d.modelView, view2));
}

TEST(FrameContext, DeclarationListsBuiltInsThenEveryParameter) {
    const std::string head = "\ncbuffer ContextBuffer : register(b8) {\n";
    const std::string builtIns =
        "\tfloat time;\n\tuint frame;\n\tfloat elapsedTime;\n\tfloat aspectRatio;\n\tfloat2 "
        "resolution;\n\tfloat2 invResolution;\n\tfloat4x4 modelView;\n\tfloat4x4 "
        "projection;\n\tfloat4x4 modelViewProjection;\n\tfloat4x4 invModelView;\n\tfloat4x4 "
        "invProjection;\n\tfloat4x4 invModelViewProjection;\n\tfloat4x4 "
        "lastModelView;\n\tfloat4x4 lastProjection;\n\tfloat4x4 lastModelViewProjection;\n";
    ASSERT_EQ(head.size(), 40u);
    ASSERT_EQ(builtIns.size(), 352u);

    ParamBlock one;
    one.set({makeFloatParam("x", 0.0f)});
    EXPECT_EQ(buildContextDeclaration(one), head + builtIns + "\tfloat x;\n};\n\n");

    ParamBlock mixed;
    ParamDesc position = makeFloatParam("Light_n_Saturation", 0.0f);
    position.type = ParamType::Float3;
    ParamDesc offset = makeFloatParam("offset", 0.0f);
    offset.type = ParamType::Float2;
    ParamDesc count = makeFloatParam("GLOBAL_PARTICLE_COUNT", 0.0f);
    count.type = ParamType::Int;
    mixed.set({makeFloatParam("a", 0.0f), position, offset, count});
    EXPECT_EQ(firstStraddlingParameter(mixed), -1);
    EXPECT_EQ(buildContextDeclaration(mixed),
              head + builtIns +
                  "\tfloat a;\n\tfloat3 Light_n_Saturation;\n\tfloat2 offset;\n\tint "
                  "GLOBAL_PARTICLE_COUNT;\n};\n\n");

    ParamBlock none;
    none.set({});
    EXPECT_EQ(buildContextDeclaration(none), head + builtIns + "};\n\n");
}

TEST(FrameContextDeathTest, ParameterCrossingARegisterIsRejected) {
    // 608 is register-aligned: a float3 after two floats would span bytes 616 to 628.
    ParamDesc wide = makeFloatParam("wide", 0.0f);
    wide.type = ParamType::Float3;
    ParamBlock params;
    params.set({makeFloatParam("a", 0.0f), makeFloatParam("b", 0.0f), wide});
    EXPECT_EQ(firstStraddlingParameter(params), 2);
    EXPECT_DEATH(buildContextDeclaration(params), "parameter 2 \"wide\" \\(float3\\)");

    ParamDesc vector = makeFloatParam("v", 0.0f);
    vector.type = ParamType::Float4;
    params.set({makeFloatParam("a", 0.0f), vector});
    EXPECT_EQ(firstStraddlingParameter(params), 1);
}
