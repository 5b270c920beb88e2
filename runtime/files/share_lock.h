// Share codes between opens of one disk file, within this program and across
// programs, kept as advisory open-file-description locks.
//
// Each open holds shared locks on marker bytes far beyond any real data: one
// for each access it has (reading, writing) and one for each access it denies
// to others (the share code 1 lets others read, 2 write, 3 both, 4 neither;
// larger codes deny nothing). An open is refused with a sharing violation
// when it wants an access another open denies, or denies an access another
// open has. The locks go with the file descriptor, so closing it ends them.
// Only programs that follow the same convention are kept out; the check and
// the taking of the locks run under an flock() on the file so that two
// programs opening at once cannot both pass.
#pragma once

namespace rt {

struct ShareRequest {
    bool reads = false;
    bool writes = false;
    int share_code = 3;
};

// Takes the share locks for `fd` (opened for reading). Returns 0, or the
// errno of the failure (EACCES for a sharing violation).
int acquire_share_locks(int fd, const ShareRequest& request) noexcept;

}  // namespace rt
