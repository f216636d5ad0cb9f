// ContextBuffer as the engine tests lay it out: the built-in block, then four float
// parameters. Matrices are read as rows of four floats, exactly as the engine stores them.
cbuffer ContextBuffer : register(b8) {
    float time;
    uint frame;
    float elapsedTime;
    float aspectRatio;
    float2 resolution;
    float2 invResolution;
    float4 modelViewRows[4];
    float4 builtInMatrices[32];
    float p0;
    float p1;
    float p2;
    float p3;
};
