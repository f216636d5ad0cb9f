// The full-screen triangles of the explosion (vs_fullscreen.hlsl's, id for id) while an
// explosion is on. While none is (PARTICLEEXPLOSION other than 1) the explosion program
// outputs zero everywhere, which the additive blend (one, one) adds to the cleared target
// without a trace; then every vertex goes to one point outside the screen, so the triangles
// cover no pixel and are not drawn at all.
#include "context_buffer.hlsli"
#include "fullscreen_io.hlsli"

VertexToPixel vertex_main(uint vertexId : SV_VertexID)
{
    VertexToPixel o;
    o.uv = fullscreenTriangleUv(vertexId);
    o.position = fullscreenTrianglePosition(o.uv);
    if (PARTICLEEXPLOSION != 1.0)
        o.position = float4(-2.0, -2.0, 0.0, 1.0);
    return o;
}
