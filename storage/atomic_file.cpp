#include "storage/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace atomicfile {
namespace {

int createTemporary(const std::filesystem::path& target, std::string& name) {
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = (folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                          "." + std::to_string(attempt) + ".tmp"))
                   .string();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

std::string writeAll(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return systemFailure("cannot open", path);
    std::string error;
    while (!bytes.empty() && error.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            error = systemFailure("cannot write");
        else
            bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    if (error.empty() && ::fsync(fd) != 0)
        error = systemFailure("cannot flush to the disk");
    if (::close(fd) != 0 && error.empty())
        error = systemFailure("cannot close");
    return error;
}

} // namespace

std::string systemFailure(std::string_view what, std::string_view subject) {
    const int error = errno;
    std::string message(what);
    if (!subject.empty())
        message.append(" ").append(subject);
    return message + ": " + std::strerror(error);
}

std::string replaceWith(const std::string& path,
                        const std::function<std::string(const std::string& temporary)>& fill) {
    std::string temporary;
    const int fd = createTemporary(path, temporary);
    if (fd < 0)
        return systemFailure("cannot create a file beside", path);
    ::close(fd);
    std::string error = fill(temporary);
    if (error.empty() && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = systemFailure("cannot replace", path);
    if (!error.empty())
        ::unlink(temporary.c_str());
    return error;
}

std::string replace(const std::string& path, std::string_view bytes) {
    return replaceWith(
        path, [bytes](const std::string& temporary) { return writeAll(temporary, bytes); });
}

} // namespace atomicfile
