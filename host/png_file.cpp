#include "host/png_file.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace host {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

// The libpng write structures, destroyed together.
class PngWriter {
public:
    PngWriter() : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr))
    {
        if (png_)
            info_ = png_create_info_struct(png_);
    }
    ~PngWriter() { png_destroy_write_struct(png_ ? &png_ : nullptr, info_ ? &info_ : nullptr); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    bool ready() const noexcept { return png_ && info_; }
    png_structp png() const noexcept { return png_; }
    png_infop info() const noexcept { return info_; }

private:
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

// libpng reports errors by longjmp; nothing with a destructor lives between
// setjmp and the calls that may jump.
bool write_rows(PngWriter& writer, std::FILE* file, int width, int height, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(writer.png())))
        return false;
    png_init_io(writer.png(), file);
    png_set_IHDR(writer.png(), writer.info(), png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(writer.png(), writer.info());
    png_write_image(writer.png(), rows);
    png_write_end(writer.png(), nullptr);
    return true;
}

}  // namespace

bool write_png_file(const Surface& surface, const std::string& path, std::string* error)
{
    auto fail = [&](const char* reason) {
        if (error)
            *error = reason + (": " + path);
        return false;
    };
    if (surface.width() <= 0 || surface.height() <= 0)
        return fail("empty surface");
    std::vector<png_byte> pixels(std::size_t(surface.width()) * surface.height() * 3);
    std::vector<png_bytep> rows(std::size_t(surface.height()));
    for (int y = 0; y < surface.height(); ++y) {
        png_bytep row = pixels.data() + std::size_t(y) * surface.width() * 3;
        rows[std::size_t(y)] = row;
        for (int x = 0; x < surface.width(); ++x) {
            const std::uint32_t p = surface.pixel(x, y);
            row[x * 3] = png_byte(p >> 16), row[x * 3 + 1] = png_byte(p >> 8), row[x * 3 + 2] = png_byte(p);
        }
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return fail("cannot create");
    PngWriter writer;
    if (!writer.ready())
        return fail("out of memory for the PNG writer");
    if (!write_rows(writer, file.get(), surface.width(), surface.height(), rows.data()))
        return fail("cannot write PNG");
    return std::fflush(file.get()) == 0 || fail("cannot write PNG");
}

}  // namespace host
