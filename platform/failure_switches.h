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
// Makes the call's n-th use from now (1 = the next) fail, and no other.
void fail_call_once(Call call, int nth_use);
// True when this use of the call must fail; counts the use.
bool call_fails(Call call);
// The call's uses since the switches were last reset.
int call_uses(Call call);
// Every switch off and every count back to zero, stale releases included.
void reset_failures();

// Makes the call (DirectSoundCreate, CreateSoundBuffer) report success from
// its next use on and hand back no object, as a broken driver might.
void hand_back_nothing(Call call);
bool hands_back_nothing(Call call);

// Makes every lock of a sound buffer that starts in its first bytes come in
// two regions, the first of these many bytes (0: none, and no pointer), as
// the platform may split a lock; -1, the reset: one region.
void split_locks(int first_region_bytes);
int lock_split();

// A handle given back that was not held (a second GlobalFree, GlobalUnlock
// or mmioClose of the same handle): the stand-ins count each.
void note_stale_release();
int stale_releases();

}  // namespace platform
