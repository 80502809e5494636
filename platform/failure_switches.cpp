#include "platform/failure_switches.h"

namespace platform {
namespace {

struct Switch {
    int fail_from_use;  // 0: never fails
    int fail_at_use;    // 0: none; else that use alone fails
    bool hand_back_nothing;
    int uses;
};

Switch switches[static_cast<int>(Call::count)];
int stale = 0;
int split = -1;

}  // namespace

const char* call_name(Call call) {
    switch (call) {
        case Call::GetModuleFileNameA: return "GetModuleFileNameA";
        case Call::FindWindowA: return "FindWindowA";
        case Call::DirectSoundCreate: return "DirectSoundCreate";
        case Call::SetCooperativeLevel: return "SetCooperativeLevel";
        case Call::FindResourceA: return "FindResourceA";
        case Call::LoadResource: return "LoadResource";
        case Call::LockResource: return "LockResource";
        case Call::SizeofResource: return "SizeofResource";
        case Call::mmioOpenA: return "mmioOpenA";
        case Call::mmioDescend: return "mmioDescend";
        case Call::mmioRead: return "mmioRead";
        case Call::mmioAscend: return "mmioAscend";
        case Call::mmioClose: return "mmioClose";
        case Call::GlobalAlloc: return "GlobalAlloc";
        case Call::GlobalLock: return "GlobalLock";
        case Call::CreateSoundBuffer: return "CreateSoundBuffer";
        case Call::Lock: return "Lock";
        case Call::Unlock: return "Unlock";
        case Call::SetCurrentPosition: return "SetCurrentPosition";
        case Call::Play: return "Play";
        case Call::count: break;
    }
    return "?";
}

void fail_call(Call call, int from_use) {
    Switch& s = switches[static_cast<int>(call)];
    s.fail_from_use = s.uses + (from_use < 1 ? 1 : from_use);
}

void fail_call_once(Call call, int nth_use) {
    Switch& s = switches[static_cast<int>(call)];
    s.fail_at_use = s.uses + (nth_use < 1 ? 1 : nth_use);
}

bool call_fails(Call call) {
    Switch& s = switches[static_cast<int>(call)];
    ++s.uses;
    return (s.fail_from_use != 0 && s.uses >= s.fail_from_use) || s.uses == s.fail_at_use;
}

int call_uses(Call call) { return switches[static_cast<int>(call)].uses; }

void reset_failures() {
    for (Switch& s : switches) s = {};
    stale = 0;
    split = -1;
}

void hand_back_nothing(Call call) { switches[static_cast<int>(call)].hand_back_nothing = true; }
bool hands_back_nothing(Call call) { return switches[static_cast<int>(call)].hand_back_nothing; }

void split_locks(int first_region_bytes) { split = first_region_bytes; }
int lock_split() { return split; }

void note_stale_release() { ++stale; }
int stale_releases() { return stale; }

}  // namespace platform
