#pragma once
// Limits this test process may put on itself so that writing or opening files fails, for
// every user, root included (permissions do not stop root). POSIX only.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <string>

namespace vorlisk::testing {

// Lowers the largest file size this process may write, so that writing the catalogue
// fails part way, for every user (root included). The size signal is ignored meanwhile so
// that the write only reports EFBIG.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        ok_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }
    bool ok() const { return ok_; }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
    bool ok_ = false;
};

// Lowers the number of files this process may open to those already open, so that opening
// any file fails while asking for its size still works.
class NoMoreOpenFiles {
  public:
    explicit NoMoreOpenFiles(const std::string& anyFile) {
        ::getrlimit(RLIMIT_NOFILE, &saved_);
        int lowestFree = ::open(anyFile.c_str(), O_RDONLY);
        if (lowestFree < 0) return;
        ::close(lowestFree);
        rlimit lowered = saved_;
        lowered.rlim_cur = static_cast<rlim_t>(lowestFree);
        ok_ = ::setrlimit(RLIMIT_NOFILE, &lowered) == 0;
    }
    ~NoMoreOpenFiles() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
    bool ok() const { return ok_; }

  private:
    rlimit saved_{};
    bool ok_ = false;
};

}  // namespace vorlisk::testing

#endif
