#include "platform/file.h"

#include <sys/stat.h>

#if defined(_WIN32)

bool file_seek(FILE* f, int64_t offset, int whence) { return _fseeki64(f, offset, whence) == 0; }
int64_t file_tell(FILE* f) { return _ftelli64(f); }

#else

#include <sys/types.h>

// A 32-bit system needs _FILE_OFFSET_BITS=64 (set by the build) for the 64-bit off_t.
static_assert(sizeof(off_t) == 8, "file offsets must be 64 bits");

bool file_seek(FILE* f, int64_t offset, int whence) { return fseeko(f, off_t(offset), whence) == 0; }
int64_t file_tell(FILE* f) { return int64_t(ftello(f)); }

#endif

bool is_regular_file(FILE* f) {
    struct stat st;
    return fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode);
}
