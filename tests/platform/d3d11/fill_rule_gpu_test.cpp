// Which triangle owns a pixel whose centre lies exactly on an edge: the one the edge is the
// top or left edge of, never the one it is the bottom or right edge of.
#include <string>
#include <vector>

#include "gpu_helpers.h"

namespace d3d11_test {
namespace {

constexpr UINT width = 16, height = 8;

struct Vertex {
    float position[4];
    float colour[4];
};

// A vertex at pixel position (x, y) of the width x height target, coloured by `tag`.
Vertex at(float x, float y, char tag) {
    const float red = tag == 'R', green = tag == 'G', blue = tag == 'B';
    return {{x / (width / 2.0f) - 1, 1 - y / (height / 2.0f), 0, 1}, {red, green, blue, 1}};
}

char tagOf(const Pixels& pixels, UINT x, UINT y) {
    const uint8_t* texel = pixels.texel(x, y);
    return texel[0] ? 'R' : texel[1] ? 'G' : texel[2] ? 'B' : '.';
}

TEST(FillRule, CentresOnTopAndLeftEdgesAreInsideOnBottomAndRightEdgesOutside) {
    REQUIRE_DEVICE();
    const std::vector<Vertex> vertices = {
        // B: the rectangle x, y in [2.5, 6.5], every edge through a row or column of centres.
        at(2.5f, 2.5f, 'B'), at(6.5f, 2.5f, 'B'), at(2.5f, 6.5f, 'B'), at(6.5f, 2.5f, 'B'),
        at(6.5f, 6.5f, 'B'), at(2.5f, 6.5f, 'B'),
        // The square x in [8.5, 14.5], y in [0.5, 6.5] cut along the rising diagonal
        // x + y = 15, which runs through centres: R below it (the diagonal is R's left edge),
        // G above it (G's right edge).
        at(8.5f, 6.5f, 'R'), at(14.5f, 0.5f, 'R'), at(14.5f, 6.5f, 'R'), at(8.5f, 6.5f, 'G'),
        at(8.5f, 0.5f, 'G'), at(14.5f, 0.5f, 'G')};
    const char* expected[height] = {"........GGGGGG..", //
                                    "........GGGGGR..", //
                                    "..BBBB..GGGGRR..", //
                                    "..BBBB..GGGRRR..", //
                                    "..BBBB..GGRRRR..", //
                                    "..BBBB..GRRRRR..", //
                                    "................", //
                                    "................"};

    Com<ID3D11Texture2D> target =
        makeTexture2D(width, height, DXGI_FORMAT_R8G8B8A8_UNORM, colourBinds);
    Com<ID3D11RenderTargetView> view = makeRtv(target.get());
    const float clear[4] = {0, 0, 0, 0};
    context()->ClearRenderTargetView(view.get(), clear);
    Com<ID3D11Buffer> buffer =
        makeStructured(sizeof(Vertex), UINT(vertices.size()), vertices.data());
    Com<ID3D11ShaderResourceView> input = makeSrv(buffer.get());
    Com<ID3D11Buffer> constants = makeConstants(TestParams());
    Com<ID3D11VertexShader> vs = TEST_VS(vsVertices);
    Com<ID3D11PixelShader> ps = TEST_PS(psColour);
    DrawSetup setup;
    setup.vertex = vs.get();
    setup.pixel = ps.get();
    setup.targets = {view.get()};
    setup.inputs = {input.get()};
    setup.constants = constants.get();
    setup.width = width;
    setup.height = height;
    setup.vertexCount = UINT(vertices.size());
    draw(setup);

    const Pixels pixels = readTexture2D(target.get());
    for (UINT y = 0; y < height; ++y) {
        std::string row;
        for (UINT x = 0; x < width; ++x) {
            row += tagOf(pixels, x, y);
        }
        EXPECT_EQ(expected[y], row) << "row " << y;
    }
}

} // namespace
} // namespace d3d11_test
