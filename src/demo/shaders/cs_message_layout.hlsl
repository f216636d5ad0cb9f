// Lays out the scroll message once: one glyph quad per message code, each following the one
// before it without gaps, all spanning the full screen height.
#include "char_data.hlsli"
#include "context_buffer.hlsli"
#include "glyph_tables.hlsli"

StructuredBuffer<int> messageSRV : register(t0);
RWStructuredBuffer<CharDataElement> bufferCharDataUAV : register(u1);

static const int GLYPH_CODES = 98;
static const int ATLAS_ROWS = 3;
static const float ATLAS_ROW_HEIGHT = 1106.0;
static const float STANDARD_WIDTH = 180.0;
// The glyph after this code starts one standard width further left.
static const int BACKSPACE_CODE = 19;

// Codes outside the table fall back to its ends rather than reading past it.
int messageCode(uint index)
{
    return clamp(messageSRV[index], 0, GLYPH_CODES - 1);
}

[numthreads(8, 1, 1)]
void kernel_main(uint3 threadId : SV_DispatchThreadID)
{
    uint i = threadId.x;
    if (i >= uint(MESSAGE_GLYPH_COUNT))
        return;

    float fs = fontresizeX;
    float pen = 0.0;
    int previous = -1;
    for (uint k = 0; k < i; ++k) {
        int code = messageCode(k);
        pen += float(glyphTable[code].z) * fs;
        if (previous == BACKSPACE_CODE)
            pen -= STANDARD_WIDTH * fs;
        previous = code;
    }
    if (previous == BACKSPACE_CODE)
        pen -= STANDARD_WIDTH * fs;

    int3 glyph = glyphTable[messageCode(i)];
    int row = glyph.x;
    float width = float(glyph.z);
    bool secondAtlas = row >= ATLAS_ROWS;

    CharData d;
    d.quadScaleBias = float4(width * fs / (2.0 * resolution.x), 1.0,
                             pen / resolution.x + (width - STANDARD_WIDTH) * fs / (2.0 * resolution.x),
                             0.0);
    d.uvScaleBias = float4(width, ATLAS_ROW_HEIGHT, float(glyph.y),
                           ATLAS_ROW_HEIGHT * float(secondAtlas ? row - ATLAS_ROWS : row));
    d.atlasId = secondAtlas ? 2 : 1;
    bufferCharDataUAV[i] = storeCharData(d);
}
