#ifndef CHAR_DATA_HLSLI
#define CHAR_DATA_HLSLI

// 36-byte glyph quad record: quadScaleBias at 0, uvScaleBias at 16, atlasId at 32.
struct CharDataElement {
    float quadScaleX, quadScaleY, quadBiasX, quadBiasY;
    float uvScaleX, uvScaleY, uvBiasX, uvBiasY;
    int atlasId;
};

struct CharData {
    float4 quadScaleBias;
    float4 uvScaleBias;
    int atlasId;
};

CharData loadCharData(CharDataElement e)
{
    CharData d;
    d.quadScaleBias = float4(e.quadScaleX, e.quadScaleY, e.quadBiasX, e.quadBiasY);
    d.uvScaleBias = float4(e.uvScaleX, e.uvScaleY, e.uvBiasX, e.uvBiasY);
    d.atlasId = e.atlasId;
    return d;
}

CharDataElement storeCharData(CharData d)
{
    CharDataElement e;
    e.quadScaleX = d.quadScaleBias.x;
    e.quadScaleY = d.quadScaleBias.y;
    e.quadBiasX = d.quadScaleBias.z;
    e.quadBiasY = d.quadScaleBias.w;
    e.uvScaleX = d.uvScaleBias.x;
    e.uvScaleY = d.uvScaleBias.y;
    e.uvBiasX = d.uvScaleBias.z;
    e.uvBiasY = d.uvScaleBias.w;
    e.atlasId = d.atlasId;
    return e;
}

#endif
