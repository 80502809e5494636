#include "platform/win_multimedia.h"

#include <cstdlib>
#include <cstring>
#include <set>

#include "platform/failure_switches.h"

namespace {

struct MemoryFile {
    const BYTE* data;
    DWORD size;
    DWORD position;
    BYTE* owned;  // a block the file allocated itself, when the caller gave none
};

std::set<MemoryFile*>& open_files() {
    static std::set<MemoryFile*> files;
    return files;
}

MemoryFile* memory_file(HMMIO handle) {
    auto* file = reinterpret_cast<MemoryFile*>(handle);
    return open_files().count(file) != 0 ? file : nullptr;
}

FOURCC read_fourcc(const MemoryFile& file, DWORD offset) {
    FOURCC value;
    std::memcpy(&value, file.data + offset, sizeof value);  // RIFF is little-endian, as is this machine
    return value;
}

bool is_container(FOURCC id) { return id == FOURCC_RIFF || id == FOURCC_LIST; }

}  // namespace

HMMIO mmioOpenA(LPSTR, LPMMIOINFO info, DWORD) {
    if (info == nullptr) return nullptr;
    if (platform::call_fails(platform::Call::mmioOpenA)) {
        info->wErrorRet = MMIOERR_CANNOTOPEN;
        return nullptr;
    }
    if (info->fccIOProc != FOURCC_MEM || info->pIOProc != nullptr) {
        info->wErrorRet = MMIOERR_FILENOTFOUND;  // only memory files are served here
        return nullptr;
    }
    if (info->cchBuffer < 0) {
        info->wErrorRet = MMSYSERR_INVALPARAM;
        return nullptr;
    }
    auto* file = new MemoryFile{.data = reinterpret_cast<const BYTE*>(info->pchBuffer),
                                .size = static_cast<DWORD>(info->cchBuffer),
                                .position = 0,
                                .owned = nullptr};
    if (file->data == nullptr && file->size != 0) {
        file->owned = static_cast<BYTE*>(std::calloc(file->size, 1));
        if (file->owned == nullptr) {
            delete file;
            info->wErrorRet = MMIOERR_OUTOFMEMORY;
            return nullptr;
        }
        file->data = file->owned;
    }
    if (file->data == nullptr) file->size = 0;
    open_files().insert(file);
    info->wErrorRet = MMSYSERR_NOERROR;
    info->hmmio = reinterpret_cast<HMMIO>(file);
    return info->hmmio;
}

MMRESULT mmioDescend(HMMIO handle, LPMMCKINFO chunk, LPCMMCKINFO parent, UINT flags) {
    MemoryFile* file = memory_file(handle);
    if (file == nullptr) return MMSYSERR_INVALHANDLE;
    if (chunk == nullptr) return MMSYSERR_INVALPARAM;
    if (platform::call_fails(platform::Call::mmioDescend)) return MMIOERR_CHUNKNOTFOUND;

    uint64_t limit = file->size;
    if (parent != nullptr) {
        const uint64_t parent_end = uint64_t{parent->dwDataOffset} + parent->cksize;
        if (parent_end < limit) limit = parent_end;
    }
    const bool find_chunk = (flags & MMIO_FINDCHUNK) != 0;
    const bool find_riff = (flags & MMIO_FINDRIFF) != 0;
    const bool find_list = (flags & MMIO_FINDLIST) != 0;

    uint64_t position = file->position;
    for (;;) {
        if (position + 8 > limit) return MMIOERR_CHUNKNOTFOUND;
        const DWORD offset = static_cast<DWORD>(position);
        const FOURCC id = read_fourcc(*file, offset);
        DWORD size;
        std::memcpy(&size, file->data + offset + 4, sizeof size);
        const bool container = is_container(id);
        if (container && position + 12 > limit) return MMIOERR_CHUNKNOTFOUND;
        const FOURCC type = container ? read_fourcc(*file, offset + 8) : 0;

        bool match = true;
        if (find_riff) match = id == FOURCC_RIFF && type == chunk->fccType;
        else if (find_list) match = id == FOURCC_LIST && type == chunk->fccType;
        else if (find_chunk) match = id == chunk->ckid;

        if (match) {
            // A chunk that claims more than its parent holds is reported as it
            // stands; reads stop at the end of the memory file all the same.
            chunk->ckid = id;
            chunk->cksize = size;
            chunk->fccType = type;
            chunk->dwDataOffset = offset + 8;
            chunk->dwFlags = 0;
            file->position = offset + 8 + (container ? 4 : 0);
            return MMSYSERR_NOERROR;
        }
        // Chunks of odd size are followed by a pad byte.
        position += 8 + uint64_t{size} + (size & 1u);
    }
}

LONG mmioRead(HMMIO handle, HPSTR buffer, LONG count) {
    MemoryFile* file = memory_file(handle);
    if (file == nullptr || count < 0 || (buffer == nullptr && count > 0)) return -1;
    if (platform::call_fails(platform::Call::mmioRead)) return -1;
    const DWORD available = file->size - file->position;
    const DWORD wanted = static_cast<DWORD>(count);
    const DWORD bytes = wanted < available ? wanted : available;
    if (bytes != 0) std::memcpy(buffer, file->data + file->position, bytes);
    file->position += bytes;
    return static_cast<LONG>(bytes);
}

MMRESULT mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT) {
    MemoryFile* file = memory_file(handle);
    if (file == nullptr) return MMSYSERR_INVALHANDLE;
    if (chunk == nullptr) return MMSYSERR_INVALPARAM;
    if (platform::call_fails(platform::Call::mmioAscend)) return MMIOERR_CANNOTSEEK;
    const uint64_t data_end = uint64_t{chunk->dwDataOffset} + chunk->cksize;
    if (data_end > file->size) return MMIOERR_CANNOTSEEK;
    // A last chunk of odd size whose pad byte is missing still ends the file.
    const uint64_t end = data_end + (chunk->cksize & 1u);
    file->position = static_cast<DWORD>(end > file->size ? file->size : end);
    return MMSYSERR_NOERROR;
}

MMRESULT mmioClose(HMMIO handle, UINT) {
    MemoryFile* file = memory_file(handle);
    if (file == nullptr) {
        platform::note_stale_release();
        return MMSYSERR_INVALHANDLE;
    }
    // A close that fails still gives the handle up: a memory file has nothing
    // to flush that could be kept for a second try.
    const bool fails = platform::call_fails(platform::Call::mmioClose);
    open_files().erase(file);
    std::free(file->owned);
    delete file;
    return fails ? MMIOERR_CANNOTCLOSE : MMSYSERR_NOERROR;
}

namespace platform {

int open_memory_files() { return static_cast<int>(open_files().size()); }

}  // namespace platform
