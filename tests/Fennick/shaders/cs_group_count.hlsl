// One thread per group: records the number of groups along each axis and in total.
RWStructuredBuffer<uint> groups : register(u0);

[numthreads(1, 1, 1)] void kernel_main(uint3 group : SV_GroupID) {
    InterlockedMax(groups[0], group.x + 1);
    InterlockedMax(groups[1], group.y + 1);
    InterlockedMax(groups[2], group.z + 1);
    InterlockedAdd(groups[3], 1);
}
