// One switch per stand-in service call: a test turns a switch on, and that
// call fails, as the real service can, until the switches are reset.
#pragma once

namespace platform {

enum class Call {
    GetModuleFileNameA,
    FindWindowA,
    DirectSoundCreate,
    SetCooperativeLevel,
    FindResourceA,
    LoadResource,
    LockResource,
    SizeofResource,
    mmioOpenA,
    mmioDescend,
    mmioRead,
    mmioAscend,
    mmioClose,
    GlobalAlloc,
    GlobalLock,
    CreateSoundBuffer,
    Lock,
    Unlock,
    SetCurrentPosition,
    Play,
    count
};

const char* call_name(Call call);

// Makes the call fail from its n-th use on (1 = the next use).
void fail_call(Call call, int from_use = 1);
// True when this use of the call must fail; counts the use.
bool call_fails(Call call);
// Every switch off and every count back to zero.
void reset_failures();

}  // namespace platform
