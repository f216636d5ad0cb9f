// Draws through the layer and checks the picture against the Direct3D conventions that the
// engine's passes and the shader program tests do not reach: viewports placed by their
// top-left corner, winding and culling, the depth test, and flat values from the first vertex.
// (Row order, pixel centres, blending, instancing and several targets are covered there.)
#include "gpu_helpers.h"

namespace d3d11_test {
namespace {

constexpr UINT size = 8;

struct Vertex {
    float position[4];
    float colour[4];
};

Vertex at(float x, float y, float z, float red) {
    return {{x, y, z, 1}, {red, 0, 0, 1}};
}

// Draws `vertices` (clip positions and colours) into `target` (a cleared RGBA32F one of its
// own when null) with the interpolated colour in target 0 and the flat vertex id in `ids`.
Pixels drawVertices(const std::vector<Vertex>& vertices, ID3D11DepthStencilView* depth = nullptr,
                    ID3D11Texture2D* target = nullptr, ID3D11Texture2D* ids = nullptr) {
    Com<ID3D11Texture2D> own;
    if (target == nullptr) {
        own = makeTexture2D(size, size, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
        target = own.get();
    }
    Com<ID3D11Buffer> buffer =
        makeStructured(sizeof(Vertex), UINT(vertices.size()), vertices.data());
    Com<ID3D11ShaderResourceView> input = makeSrv(buffer.get());
    Com<ID3D11RenderTargetView> view = makeRtv(target);
    Com<ID3D11RenderTargetView> idView = ids ? makeRtv(ids) : Com<ID3D11RenderTargetView>();
    Com<ID3D11Buffer> constants = makeConstants(TestParams());
    Com<ID3D11VertexShader> vs = TEST_VS(vsVertices);
    Com<ID3D11PixelShader> ps = TEST_PS(psColour);
    if (own) {
        const float black[4] = {0, 0, 0, 0};
        context()->ClearRenderTargetView(view.get(), black);
    }
    DrawSetup setup;
    setup.vertex = vs.get();
    setup.pixel = ps.get();
    setup.targets = {view.get()};
    if (ids) {
        setup.targets.push_back(idView.get());
    }
    setup.depth = depth;
    setup.inputs = {input.get()};
    setup.constants = constants.get();
    setup.width = size;
    setup.height = size;
    setup.vertexCount = UINT(vertices.size());
    draw(setup);
    return readTexture2D(target);
}

TEST(DrawConventions, ViewportsPlaceByTheirTopLeftCorner) {
    REQUIRE_DEVICE();
    context()->RSSetState(nullptr);
    Com<ID3D11Texture2D> target =
        makeTexture2D(size, size, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11RenderTargetView> view = makeRtv(target.get());
    const float clear[4] = {-1, -1, -1, -1};
    context()->ClearRenderTargetView(view.get(), clear);
    Com<ID3D11Buffer> constants = makeConstants(TestParams());
    Com<ID3D11VertexShader> vs = TEST_VS(vsFullscreen);
    Com<ID3D11PixelShader> ps = TEST_PS(psPosition);
    // A viewport over the lower half, two columns in: its top-left is memory row TopLeftY.
    const D3D11_VIEWPORT lowerHalf = {2, size / 2, size - 2, size / 2, 0, 1};
    DrawSetup setup;
    setup.vertex = vs.get();
    setup.pixel = ps.get();
    setup.targets = {view.get()};
    setup.constants = constants.get();
    setup.viewport = &lowerHalf;
    draw(setup);
    Pixels pixels = readTexture2D(target.get());
    for (UINT y = 0; y < size; ++y) {
        bool inside = y >= size / 2;
        EXPECT_EQ(inside ? y + 0.5f : -1.0f, pixels.at<float>(4, y, 1)) << "row " << y;
        EXPECT_EQ(-1.0f, pixels.at<float>(1, y, 1)) << "row " << y;
    }
    // uv (0, 0) at the viewport's top-left pixel.
    EXPECT_FLOAT_EQ(0.5f / (size - 2), pixels.at<float>(2, size / 2, 2));
    EXPECT_FLOAT_EQ(0.5f / (size / 2), pixels.at<float>(2, size / 2, 3));
}

TEST(DrawConventions, BackFacesAreCulledAsDirect3DCullsThem) {
    REQUIRE_DEVICE();
    // Clockwise on screen (y down): top-left, top-right, bottom-left.
    std::vector<Vertex> clockwise = {at(-1, 1, 0, 1), at(1, 1, 0, 1), at(-1, -1, 0, 1)};
    std::vector<Vertex> counterClockwise = {clockwise[0], clockwise[2], clockwise[1]};
    struct Case {
        D3D11_CULL_MODE cull;
        BOOL frontCounterClockwise;
        bool clockwiseDrawn, counterClockwiseDrawn;
    };
    const Case cases[] = {
        {D3D11_CULL_BACK, FALSE, true, false},
        {D3D11_CULL_FRONT, FALSE, false, true},
        {D3D11_CULL_NONE, FALSE, true, true},
        {D3D11_CULL_BACK, TRUE, false, true},
    };
    for (const Case& c : cases) {
        const D3D11_RASTERIZER_DESC desc = {
            D3D11_FILL_SOLID, c.cull, c.frontCounterClockwise, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
        Com<ID3D11RasterizerState> state;
        ASSERT_EQ(S_OK, device()->CreateRasterizerState(&desc, state.out()));
        context()->RSSetState(state.get());
        EXPECT_EQ(c.clockwiseDrawn ? 1.0f : 0.0f, drawVertices(clockwise).at<float>(0, 0))
            << "cull " << c.cull << " front ccw " << c.frontCounterClockwise;
        EXPECT_EQ(c.counterClockwiseDrawn ? 1.0f : 0.0f,
                  drawVertices(counterClockwise).at<float>(0, 0))
            << "cull " << c.cull << " front ccw " << c.frontCounterClockwise;
    }
    // Without a state object Direct3D culls back faces with clockwise fronts.
    context()->RSSetState(nullptr);
    EXPECT_EQ(1.0f, drawVertices(clockwise).at<float>(0, 0));
    EXPECT_EQ(0.0f, drawVertices(counterClockwise).at<float>(0, 0));
}

TEST(DrawConventions, ABoundDepthViewTestsLessAndWritesWithTheDefaultState) {
    REQUIRE_DEVICE();
    context()->RSSetState(nullptr);
    auto cover = [](float z, float red) {
        return std::vector<Vertex>{at(-1, 1, z, red), at(3, 1, z, red), at(-1, -3, z, red)};
    };
    for (DXGI_FORMAT format : {DXGI_FORMAT_D24_UNORM_S8_UINT, DXGI_FORMAT_D32_FLOAT}) {
        Com<ID3D11Texture2D> depth = makeTexture2D(size, size, format, D3D11_BIND_DEPTH_STENCIL);
        Com<ID3D11DepthStencilView> view;
        ASSERT_EQ(S_OK, device()->CreateDepthStencilView(depth.get(), nullptr, view.out()));
        context()->ClearDepthStencilView(view.get(), D3D11_CLEAR_DEPTH, 1.0f, 0);
        Com<ID3D11Texture2D> target =
            makeTexture2D(size, size, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
        // A near triangle over the top-left corner (red 1), then a far one over all (red 2),
        // then one at the near depth over all (red 3): equal depth does not pass.
        drawVertices({at(-1, 1, 0.25f, 1), at(1, 1, 0.25f, 1), at(-1, -1, 0.25f, 1)}, view.get(),
                     target.get());
        drawVertices(cover(0.75f, 2), view.get(), target.get());
        Pixels pixels = drawVertices(cover(0.25f, 3), view.get(), target.get());
        EXPECT_EQ(1.0f, pixels.at<float>(0, 0)) << "format " << format;
        EXPECT_EQ(3.0f, pixels.at<float>(size - 1, size - 1)) << "format " << format;
        // Clearing again lets the far triangle through everywhere.
        context()->ClearDepthStencilView(view.get(), D3D11_CLEAR_DEPTH, 1.0f, 0);
        pixels = drawVertices(cover(0.75f, 2), view.get(), target.get());
        EXPECT_EQ(2.0f, pixels.at<float>(0, 0)) << "format " << format;
    }
}

TEST(DrawConventions, FlatValuesComeFromTheFirstVertexOfEachTriangle) {
    REQUIRE_DEVICE();
    context()->RSSetState(nullptr);
    Com<ID3D11Texture2D> colour =
        makeTexture2D(size, size, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11Texture2D> ids = makeTexture2D(size, size, DXGI_FORMAT_R32_UINT, colourBinds);
    Com<ID3D11RenderTargetView> idView = makeRtv(ids.get());
    const float clearIds[4] = {99, 0, 0, 0};
    context()->ClearRenderTargetView(idView.get(), clearIds);
    drawVertices({at(-1, 1, 0, 1), at(3, 1, 0, 1), at(-1, -3, 0, 1)}, nullptr, colour.get(),
                 ids.get());
    Pixels idPixels = readTexture2D(ids.get());
    for (UINT i = 0; i < size * size; ++i) {
        EXPECT_EQ(0u, idPixels.at<uint32_t>(i % size, i / size)) << "pixel " << i;
    }
}

} // namespace
} // namespace d3d11_test
