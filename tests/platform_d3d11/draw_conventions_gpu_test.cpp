// Draws through the layer and checks the picture against Direct3D's conventions: row 0 on
// top, pixel centres, winding and culling, blend factors, depth, instancing, several targets.
#include <cmath>

#include "gpu_helpers.h"

namespace d3d11_test {
namespace {

constexpr UINT size = 8;

struct Vertex {
    float position[4];
    float colour[4];
};

Com<ID3D11RasterizerState> rasterizer(D3D11_CULL_MODE cull, BOOL frontCounterClockwise = FALSE) {
    D3D11_RASTERIZER_DESC desc = {
        D3D11_FILL_SOLID, cull, frontCounterClockwise, 0, 0, 0, TRUE, FALSE, FALSE, FALSE};
    Com<ID3D11RasterizerState> state;
    EXPECT_EQ(S_OK, device()->CreateRasterizerState(&desc, state.out()));
    return state;
}

// Draws `vertices` (clip positions and colours) into a cleared RGBA32F target.
Pixels drawVertices(const std::vector<Vertex>& vertices, ID3D11DepthStencilView* depth = nullptr,
                    ID3D11Texture2D* target = nullptr) {
    Com<ID3D11Texture2D> own;
    if (target == nullptr) {
        own = makeTexture2D(size, size, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
        target = own.get();
    }
    Com<ID3D11Buffer> buffer =
        makeStructured(sizeof(Vertex), UINT(vertices.size()), vertices.data());
    Com<ID3D11ShaderResourceView> input = makeSrv(buffer.get());
    Com<ID3D11RenderTargetView> view = makeRtv(target);
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
    setup.depth = depth;
    setup.inputs = {input.get()};
    setup.constants = constants.get();
    setup.width = size;
    setup.height = size;
    setup.vertexCount = UINT(vertices.size());
    draw(setup);
    return readTexture2D(target);
}

Vertex at(float x, float y, float z, float red) {
    return {{x, y, z, 1}, {red, 0, 0, 1}};
}

TEST(DrawConventions, RowZeroIsTopAndPixelCentresAreAtHalves) {
    REQUIRE_DEVICE();
    Com<ID3D11Texture2D> target =
        makeTexture2D(size, size / 2, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11RenderTargetView> view = makeRtv(target.get());
    Com<ID3D11Buffer> constants = makeConstants(TestParams());
    Com<ID3D11VertexShader> vs = TEST_VS(vsFullscreen);
    Com<ID3D11PixelShader> ps = TEST_PS(psPosition);
    DrawSetup setup;
    setup.vertex = vs.get();
    setup.pixel = ps.get();
    setup.targets = {view.get()};
    setup.constants = constants.get();
    setup.width = size;
    setup.height = size / 2;
    draw(setup);
    Pixels pixels = readTexture2D(target.get());
    for (UINT y = 0; y < size / 2; ++y) {
        for (UINT x = 0; x < size; ++x) {
            // SV_POSITION is (x + 0.5, y + 0.5) in memory row y; uv (0, 0) is the top-left.
            EXPECT_FLOAT_EQ(x + 0.5f, pixels.at<float>(x, y, 0));
            EXPECT_FLOAT_EQ(y + 0.5f, pixels.at<float>(x, y, 1));
            EXPECT_FLOAT_EQ((x + 0.5f) / size, pixels.at<float>(x, y, 2));
            EXPECT_FLOAT_EQ((y + 0.5f) / (size / 2), pixels.at<float>(x, y, 3));
        }
    }
}

TEST(DrawConventions, ClipYPlusOneIsTheTopRowAndViewportsPlaceByTopLeft) {
    REQUIRE_DEVICE();
    context()->RSSetState(nullptr);
    // A triangle covering clip y > 0 only: the top half of the rows.
    Pixels top = drawVertices({at(-1, 1, 0, 1), at(3, 1, 0, 1), at(-1, -0.0001f, 0, 1)});
    for (UINT y = 0; y < size; ++y) {
        float expected = y < size / 2 ? 1.0f : 0.0f;
        // Only the first column is inside the triangle for every upper row.
        EXPECT_EQ(expected, top.at<float>(0, y)) << "row " << y;
    }
    // A viewport over the lower half: its top-left corner is memory row TopLeftY.
    Com<ID3D11Texture2D> target =
        makeTexture2D(size, size, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11RenderTargetView> view = makeRtv(target.get());
    const float clear[4] = {-1, -1, -1, -1};
    context()->ClearRenderTargetView(view.get(), clear);
    Com<ID3D11Buffer> constants = makeConstants(TestParams());
    Com<ID3D11VertexShader> vs = TEST_VS(vsFullscreen);
    Com<ID3D11PixelShader> ps = TEST_PS(psPosition);
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
        bool clockwiseDrawn;
        bool counterClockwiseDrawn;
    };
    const Case cases[] = {
        {D3D11_CULL_BACK, FALSE, true, false},
        {D3D11_CULL_FRONT, FALSE, false, true},
        {D3D11_CULL_NONE, FALSE, true, true},
        {D3D11_CULL_BACK, TRUE, false, true},
    };
    for (const Case& c : cases) {
        Com<ID3D11RasterizerState> state = rasterizer(c.cull, c.frontCounterClockwise);
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

struct BlendCase {
    const char* name;
    D3D11_BLEND source, dest, sourceAlpha, destAlpha;
    float sourceColour[4];
    float destColour[4];
    float expected[4];
};

TEST(DrawConventions, TheShowsBlendModesComputeAsDirect3D) {
    REQUIRE_DEVICE();
    const BlendCase cases[] = {
        // Mode 0: everything added.
        {"add",
         D3D11_BLEND_ONE,
         D3D11_BLEND_ONE,
         D3D11_BLEND_ONE,
         D3D11_BLEND_ONE,
         {0.25f, 0.5f, 0.125f, 0.5f},
         {0.5f, 0.25f, 0.5f, 0.25f},
         {0.75f, 0.75f, 0.625f, 0.75f}},
        // Mode 1: alpha over, alpha = src x (1 - dst alpha) + dst alpha.
        {"over, alpha accumulates",
         D3D11_BLEND_SRC_ALPHA,
         D3D11_BLEND_INV_SRC_ALPHA,
         D3D11_BLEND_INV_DEST_ALPHA,
         D3D11_BLEND_ONE,
         {1, 0, 0, 1},
         {0, 0, 1, 0.5f},
         {1, 0, 0, 1}},
        {"over, partial",
         D3D11_BLEND_SRC_ALPHA,
         D3D11_BLEND_INV_SRC_ALPHA,
         D3D11_BLEND_INV_DEST_ALPHA,
         D3D11_BLEND_ONE,
         {1, 0, 0, 0.25f},
         {0, 0, 1, 0.5f},
         {0.25f, 0, 0.75f, 0.625f}},
        // Mode 2: alpha over, alpha = source alpha.
        {"over, source alpha",
         D3D11_BLEND_SRC_ALPHA,
         D3D11_BLEND_INV_SRC_ALPHA,
         D3D11_BLEND_ONE,
         D3D11_BLEND_ZERO,
         {1, 0, 0, 0.25f},
         {0, 0, 1, 0.5f},
         {0.25f, 0, 0.75f, 0.25f}},
    };
    Com<ID3D11Texture2D> target =
        makeTexture2D(size, size, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11RenderTargetView> view = makeRtv(target.get());
    Com<ID3D11VertexShader> vs = TEST_VS(vsFullscreen);
    Com<ID3D11PixelShader> ps = TEST_PS(psColour);
    context()->RSSetState(nullptr);
    for (const BlendCase& c : cases) {
        D3D11_BLEND_DESC desc = {};
        desc.RenderTarget[0] = {TRUE,
                                c.source,
                                c.dest,
                                D3D11_BLEND_OP_ADD,
                                c.sourceAlpha,
                                c.destAlpha,
                                D3D11_BLEND_OP_ADD,
                                D3D11_COLOR_WRITE_ENABLE_ALL};
        Com<ID3D11BlendState> blend;
        ASSERT_EQ(S_OK, device()->CreateBlendState(&desc, blend.out()));
        context()->ClearRenderTargetView(view.get(), c.destColour);
        context()->OMSetBlendState(blend.get(), nullptr, 0xffffffff);
        TestParams params;
        std::copy(c.sourceColour, c.sourceColour + 4, params.params);
        Com<ID3D11Buffer> constants = makeConstants(params);
        DrawSetup setup;
        setup.vertex = vs.get();
        setup.pixel = ps.get();
        setup.targets = {view.get()};
        setup.constants = constants.get();
        setup.width = size;
        setup.height = size;
        draw(setup);
        context()->OMSetBlendState(nullptr, nullptr, 0xffffffff);
        Pixels pixels = readTexture2D(target.get());
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(c.expected[k], pixels.at<float>(3, 5, k), 1e-6)
                << c.name << " channel " << k;
        }
    }
}

TEST(DrawConventions, ABoundDepthViewTestsLessAndWritesWithTheDefaultState) {
    REQUIRE_DEVICE();
    context()->RSSetState(nullptr);
    for (DXGI_FORMAT format : {DXGI_FORMAT_D24_UNORM_S8_UINT, DXGI_FORMAT_D32_FLOAT}) {
        Com<ID3D11Texture2D> depth = makeTexture2D(size, size, format, D3D11_BIND_DEPTH_STENCIL);
        D3D11_DEPTH_STENCIL_VIEW_DESC desc = {};
        desc.Format = format;
        desc.ViewDimension = D3D11_DSV_DIMENSION_TEXTURE2D;
        Com<ID3D11DepthStencilView> view;
        ASSERT_EQ(S_OK, device()->CreateDepthStencilView(depth.get(), &desc, view.out()));
        context()->ClearDepthStencilView(view.get(), D3D11_CLEAR_DEPTH, 1.0f, 0);
        Com<ID3D11Texture2D> target =
            makeTexture2D(size, size, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
        // Near triangle (z 0.25, red 1) first, then a far one (z 0.75, red 2) over all, then
        // one at equal depth (red 3): only the first survives where it was drawn.
        drawVertices({at(-1, 1, 0.25f, 1), at(1, 1, 0.25f, 1), at(-1, -1, 0.25f, 1)}, view.get(),
                     target.get());
        drawVertices({at(-1, 1, 0.75f, 2), at(3, 1, 0.75f, 2), at(-1, -3, 0.75f, 2)}, view.get(),
                     target.get());
        Pixels pixels =
            drawVertices({at(-1, 1, 0.25f, 3), at(3, 1, 0.25f, 3), at(-1, -3, 0.25f, 3)},
                         view.get(), target.get());
        EXPECT_EQ(1.0f, pixels.at<float>(0, 0)) << "format " << format;
        EXPECT_EQ(3.0f, pixels.at<float>(size - 1, size - 1)) << "format " << format;
        // Clearing again lets the far triangle through everywhere.
        context()->ClearDepthStencilView(view.get(), D3D11_CLEAR_DEPTH, 1.0f, 0);
        pixels = drawVertices({at(-1, 1, 0.75f, 2), at(3, 1, 0.75f, 2), at(-1, -3, 0.75f, 2)},
                              view.get(), target.get());
        EXPECT_EQ(2.0f, pixels.at<float>(0, 0));
    }
}

TEST(DrawConventions, InstancesSeeTheirInstanceId) {
    REQUIRE_DEVICE();
    const UINT instances = 4;
    Com<ID3D11Texture2D> colour =
        makeTexture2D(size, 2, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11Texture2D> ids = makeTexture2D(size, 2, DXGI_FORMAT_R32_UINT, colourBinds);
    Com<ID3D11RenderTargetView> colourView = makeRtv(colour.get());
    Com<ID3D11RenderTargetView> idView = makeRtv(ids.get());
    const float clearIds[4] = {99, 0, 0, 0};
    context()->ClearRenderTargetView(idView.get(), clearIds);
    TestParams params;
    params.count = instances;
    Com<ID3D11Buffer> constants = makeConstants(params);
    Com<ID3D11VertexShader> vs = TEST_VS(vsInstanced);
    Com<ID3D11PixelShader> ps = TEST_PS(psColour);
    DrawSetup setup;
    setup.vertex = vs.get();
    setup.pixel = ps.get();
    setup.targets = {colourView.get(), idView.get()};
    setup.constants = constants.get();
    setup.width = size;
    setup.height = 2;
    setup.vertexCount = 6;
    setup.instanceCount = instances;
    // The quads wind counter-clockwise on screen.
    Com<ID3D11RasterizerState> noCulling = rasterizer(D3D11_CULL_NONE);
    context()->RSSetState(noCulling.get());
    draw(setup);
    context()->RSSetState(nullptr);
    Pixels colours = readTexture2D(colour.get());
    Pixels idPixels = readTexture2D(ids.get());
    for (UINT x = 0; x < size; ++x) {
        UINT instance = x / (size / instances);
        EXPECT_EQ(float(instance), colours.at<float>(x, 0, 0)) << "column " << x;
        EXPECT_EQ(instance, idPixels.at<uint32_t>(x, 1)) << "column " << x;
    }
}

TEST(DrawConventions, FlatValuesComeFromTheFirstVertexOfEachTriangle) {
    REQUIRE_DEVICE();
    std::vector<Vertex> vertices = {at(-1, 1, 0, 1), at(3, 1, 0, 1), at(-1, -3, 0, 1)};
    Com<ID3D11Buffer> buffer = makeStructured(sizeof(Vertex), 3, vertices.data());
    Com<ID3D11ShaderResourceView> input = makeSrv(buffer.get());
    Com<ID3D11Texture2D> colour = makeTexture2D(2, 2, DXGI_FORMAT_R32G32B32A32_FLOAT, colourBinds);
    Com<ID3D11Texture2D> ids = makeTexture2D(2, 2, DXGI_FORMAT_R32_UINT, colourBinds);
    Com<ID3D11RenderTargetView> colourView = makeRtv(colour.get());
    Com<ID3D11RenderTargetView> idView = makeRtv(ids.get());
    const float clearIds[4] = {99, 0, 0, 0};
    context()->ClearRenderTargetView(idView.get(), clearIds);
    Com<ID3D11Buffer> constants = makeConstants(TestParams());
    Com<ID3D11VertexShader> vs = TEST_VS(vsVertices);
    Com<ID3D11PixelShader> ps = TEST_PS(psColour);
    DrawSetup setup;
    setup.vertex = vs.get();
    setup.pixel = ps.get();
    setup.targets = {colourView.get(), idView.get()};
    setup.inputs = {input.get()};
    setup.constants = constants.get();
    setup.width = 2;
    setup.height = 2;
    context()->RSSetState(nullptr);
    draw(setup);
    Pixels idPixels = readTexture2D(ids.get());
    for (UINT y = 0; y < 2; ++y) {
        for (UINT x = 0; x < 2; ++x) {
            EXPECT_EQ(0u, idPixels.at<uint32_t>(x, y)) << x << ", " << y;
        }
    }
}

} // namespace
} // namespace d3d11_test
