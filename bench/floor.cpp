// The least any program can spend on writing a file of a given size: start,
// create the file, copy the bytes from one buffer into the page cache, end.
//   sweepwav_floor FILE BYTES
// It links nothing but the C library, and copies every byte once; dd from
// /dev/zero copies each twice (from the kernel into its buffer, and back).
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {
char buffer[1 << 20];
}

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    long long left = std::strtoll(argv[2], nullptr, 10);
    const int fd = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return 1;
    std::memset(buffer, 0x5A, sizeof buffer);
    while (left > 0) {
        const ssize_t n = write(fd, buffer, left < static_cast<long long>(sizeof buffer) ? left : sizeof buffer);
        if (n <= 0) return 1;
        left -= n;
    }
    return close(fd) == 0 ? 0 : 1;
}
