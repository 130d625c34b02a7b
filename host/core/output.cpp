// Checking that a program's result reached its standard output.
#include <printdialog/command_line.h>
#include <printdialog/output.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace printdialog {

// Hands every write on to std::cout's own buffer at once and keeps the reason of the first one
// that fails, while errno still holds it (a later flush finds the buffer emptied and says nothing).
class ResultOutput::Watch : public std::streambuf {
public:
    explicit Watch(std::streambuf *target) : target_(target) {}

    // The errno of the first failed write or flush, EIO when it left none; 0 when none failed.
    int firstError() const { return firstError_; }
    void note(int error) {
        if (firstError_ == 0) firstError_ = error != 0 ? error : EIO;
    }

protected:
    int_type overflow(int_type character) override {
        if (traits_type::eq_int_type(character, traits_type::eof())) return traits_type::not_eof(character);
        errno = 0;
        int_type written = target_->sputc(traits_type::to_char_type(character));
        if (traits_type::eq_int_type(written, traits_type::eof())) note(errno);
        return written;
    }

    std::streamsize xsputn(const char *text, std::streamsize count) override {
        errno = 0;
        std::streamsize written = target_->sputn(text, count);
        if (written < count) note(errno);
        return written;
    }

    int sync() override {
        errno = 0;
        int result = target_->pubsync();
        if (result != 0) note(errno);
        return result;
    }

private:
    std::streambuf *target_;
    int firstError_ = 0;
};

ResultOutput::ResultOutput(std::string program) : program_(std::move(program)) {
    if (fcntl(STDOUT_FILENO, F_GETFD) < 0 && errno == EBADF) {
        int held = open("/dev/null", O_RDONLY);
        if (held >= 0 && held != STDOUT_FILENO) {  // standard input was closed too
            dup2(held, STDOUT_FILENO);
            close(held);
        }
    }
    original_ = std::cout.rdbuf();
    watch_ = std::make_unique<Watch>(original_);
    std::cout.rdbuf(watch_.get());
}

ResultOutput::~ResultOutput() {
    if (watch_) std::cout.rdbuf(original_);
}

int ResultOutput::finish(int exitCode) {
    if (!watch_) return exitCode;
    std::cout.flush();
    bool lost = !std::cout || watch_->firstError() != 0;
    errno = 0;
    if (std::fflush(stdout) != 0) watch_->note(errno);  // what was written with C's stdio
    lost = lost || watch_->firstError() != 0 || std::ferror(stdout) != 0;
    int error = watch_->firstError();
    std::cout.rdbuf(original_);
    watch_.reset();
    if (!lost) return exitCode;
    std::cerr << program_ << ": cannot write the result" << (error != 0 ? ": " + std::string(std::strerror(error)) : "")
              << "\n";
    return exitCode == kExitDone ? kExitFailed : exitCode;
}

}  // namespace printdialog
