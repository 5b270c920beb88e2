// The plainest loop that refreshes a dump page over a serial line, as the
// floor to compare the monitors' CPU use with: for each of the 16 rows of a
// 256-byte page, write the 4-digit address and the read-16-bytes code 0x1F,
// then block in read() (VMIN 1) until a byte below '0' ends the reply.
//
//   reference_poll_loop PORT [BASE_HEX]
//
// Runs until it is killed or the line fails; 8 data bits, no parity, 9600 bit/s.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: reference_poll_loop PORT [BASE_HEX]\n");
        return 2;
    }
    const unsigned base = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 16)) : 0;
    const int fd = ::open(argv[1], O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (fd < 0 || tcgetattr(fd, &tio) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetspeed(&tio, B9600);
    if (tcsetattr(fd, TCSANOW, &tio) != 0) {
        std::perror("tcsetattr");
        return 1;
    }
    // Drop what an earlier client left on the line, including the rest of a
    // reply still on its way (33 bytes take 34 ms), so replies stay in step.
    tcflush(fd, TCIFLUSH);
    const timespec settle{0, 100'000'000};
    nanosleep(&settle, nullptr);
    tcflush(fd, TCIFLUSH);
    for (unsigned row = 0;; row = (row + 1) % 16) {
        char request[6];
        std::snprintf(request, sizeof request, "%04X\x1F", (base + row * 16) & 0xFFFF);
        if (::write(fd, request, 5) != 5)
            return 1;
        for (bool ended = false; !ended;) {
            unsigned char buffer[64];
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count <= 0)
                return 1;
            for (ssize_t i = 0; i < count; ++i)
                ended = ended || buffer[i] < 0x30;
        }
    }
}
