// Renders an SVG drawing into a square PNG with a limited palette, as the program's icons are
// kept: render-icons SOURCE.svg SIZE COLOURS OUT.png
//
// The drawing is rendered anti-aliased, then reduced to at most COLOURS palette entries by median
// cut followed by a few k-means passes. With 256 colours the palette keeps partial transparency
// (smooth edges); with fewer colours one entry is reserved for full transparency and every other
// pixel becomes opaque, as a classic icon's mask works.
#include <cairo.h>
#include <librsvg/rsvg.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Sample = std::array<double, 4>; // r, g, b, a (0-255, not premultiplied)

double Distance(const Sample& a, const Sample& b) {
    double sum = 0;
    for (int c = 0; c < 4; ++c) {
        sum += (a[c] - b[c]) * (a[c] - b[c]);
    }
    return sum;
}

Sample Mean(const std::vector<Sample>& samples, size_t begin, size_t end) {
    Sample mean{};
    for (size_t i = begin; i < end; ++i) {
        for (int c = 0; c < 4; ++c) {
            mean[c] += samples[i][c];
        }
    }
    for (double& v : mean) {
        v /= static_cast<double>(end - begin);
    }
    return mean;
}

// Median cut: split the box with the widest channel range at its median until there are
// `count` boxes (or no box can be split); the palette is the boxes' means.
std::vector<Sample> MedianCut(std::vector<Sample> samples, size_t count) {
    struct Box {
        size_t begin, end;
    };
    std::vector<Box> boxes{{0, samples.size()}};
    auto widest = [&](const Box& box, int& channel) {
        double best = -1;
        for (int c = 0; c < 4; ++c) {
            auto [lo, hi] =
                std::minmax_element(samples.begin() + box.begin, samples.begin() + box.end,
                                    [c](const Sample& a, const Sample& b) { return a[c] < b[c]; });
            const double range = (*hi)[c] - (*lo)[c];
            if (range > best) {
                best = range;
                channel = c;
            }
        }
        return best;
    };
    while (boxes.size() < count) {
        size_t pick = boxes.size();
        int channel = 0;
        double best = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int c = 0;
            const double range = boxes[i].end - boxes[i].begin > 1 ? widest(boxes[i], c) : 0;
            if (range > best) {
                best = range;
                pick = i;
                channel = c;
            }
        }
        if (pick == boxes.size()) {
            break;
        }
        Box box = boxes[pick];
        const size_t middle = box.begin + (box.end - box.begin) / 2;
        std::nth_element(
            samples.begin() + box.begin, samples.begin() + middle, samples.begin() + box.end,
            [channel](const Sample& a, const Sample& b) { return a[channel] < b[channel]; });
        boxes[pick] = {box.begin, middle};
        boxes.push_back({middle, box.end});
    }
    std::vector<Sample> palette;
    for (const Box& box : boxes) {
        palette.push_back(Mean(samples, box.begin, box.end));
    }
    return palette;
}

size_t Nearest(const std::vector<Sample>& palette, const Sample& s) {
    size_t best = 0;
    for (size_t i = 1; i < palette.size(); ++i) {
        if (Distance(palette[i], s) < Distance(palette[best], s)) {
            best = i;
        }
    }
    return best;
}

void Refine(std::vector<Sample>& palette, const std::vector<Sample>& samples) {
    for (int pass = 0; pass < 8; ++pass) {
        std::vector<Sample> sums(palette.size(), Sample{});
        std::vector<int> counts(palette.size(), 0);
        for (const Sample& s : samples) {
            const size_t i = Nearest(palette, s);
            for (int c = 0; c < 4; ++c) {
                sums[i][c] += s[c];
            }
            ++counts[i];
        }
        for (size_t i = 0; i < palette.size(); ++i) {
            if (counts[i] > 0) {
                for (int c = 0; c < 4; ++c) {
                    palette[i][c] = sums[i][c] / counts[i];
                }
            }
        }
    }
}

using Rgba = std::array<uint8_t, 4>; // r, g, b, a (not premultiplied)

// A square drawing as plain RGBA pixels, row after row.
struct Image {
    int size = 0;
    std::vector<Rgba> pixels;
    const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * size + x]; }
};

// The reduced drawing: one palette index per pixel; entry 0 is full transparency.
struct Indexed {
    int size = 0;
    std::vector<Rgba> palette;
    std::vector<uint8_t> indices;
};

Rgba ToRgba(const Sample& s) {
    auto v = [](double x) {
        return static_cast<uint8_t>(std::clamp(static_cast<int>(x + 0.5), 0, 255));
    };
    return {v(s[0]), v(s[1]), v(s[2]), v(s[3])};
}

Indexed Reduce(const Image& source, int colours) {
    const bool smoothEdges = colours >= 256;
    auto sampleAt = [&](int x, int y) {
        const Rgba& p = source.At(x, y);
        Sample s{double(p[0]), double(p[1]), double(p[2]), double(p[3])};
        if (!smoothEdges) {
            s[3] = 255;
        }
        return s;
    };
    auto transparent = [&](int x, int y) {
        const int alpha = source.At(x, y)[3];
        return smoothEdges ? alpha == 0 : alpha < 128;
    };
    std::vector<Sample> samples;
    for (int y = 0; y < source.size; ++y) {
        for (int x = 0; x < source.size; ++x) {
            if (!transparent(x, y)) {
                samples.push_back(sampleAt(x, y));
            }
        }
    }
    std::vector<Sample> palette = MedianCut(samples, static_cast<size_t>(colours - 1));
    Refine(palette, samples);

    Indexed out;
    out.size = source.size;
    out.palette.push_back({0, 0, 0, 0});
    for (const Sample& s : palette) {
        out.palette.push_back(ToRgba(s));
    }
    for (int y = 0; y < source.size; ++y) {
        for (int x = 0; x < source.size; ++x) {
            const size_t index = transparent(x, y) ? 0 : Nearest(palette, sampleAt(x, y)) + 1;
            out.indices.push_back(static_cast<uint8_t>(index));
        }
    }
    return out;
}

// Renders the drawing anti-aliased to fill a SIZE x SIZE square; false when it cannot be read.
bool Render(const char* path, int size, Image& image) {
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_file(path, &error);
    if (handle == nullptr) {
        std::fprintf(stderr, "render-icons: %s\n", error->message);
        g_error_free(error);
        return false;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
    const RsvgRectangle viewport{0, 0, double(size), double(size)};
    const bool rendered = rsvg_handle_render_document(handle, cr, &viewport, &error);
    cairo_destroy(cr);
    g_object_unref(handle);
    if (!rendered) {
        std::fprintf(stderr, "render-icons: %s\n", error->message);
        g_error_free(error);
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_surface_flush(surface);
    // Cairo keeps premultiplied native-endian 0xAARRGGBB words; the reduction wants plain RGBA.
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    image.size = size;
    image.pixels.clear();
    for (int y = 0; y < size; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < size; ++x) {
            const uint32_t p = row[x];
            const unsigned a = p >> 24;
            auto unpremultiply = [a](unsigned c) {
                return static_cast<uint8_t>(a == 0 ? 0 : std::min(255u, (c * 255 + a / 2) / a));
            };
            image.pixels.push_back({unpremultiply((p >> 16) & 0xff), unpremultiply((p >> 8) & 0xff),
                                    unpremultiply(p & 0xff), static_cast<uint8_t>(a)});
        }
    }
    cairo_surface_destroy(surface);
    return true;
}

// Writes an 8-bit palette PNG; the palette's alpha goes into tRNS, cut after the last
// entry that is not opaque.
bool WritePng(const char* path, const Indexed& image) {
    // Filled before setjmp: a libpng error must not jump over their lifetime.
    std::vector<png_color> colours;
    std::vector<png_byte> alphas;
    for (const Rgba& c : image.palette) {
        colours.push_back({c[0], c[1], c[2]});
        alphas.push_back(c[3]);
    }
    while (!alphas.empty() && alphas.back() == 255) {
        alphas.pop_back();
    }
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.size),
                 static_cast<png_uint_32>(image.size), 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    if (!alphas.empty()) {
        png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    }
    png_write_info(png, info);
    for (int y = 0; y < image.size; ++y) {
        png_write_row(png, image.indices.data() + static_cast<size_t>(y) * image.size);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: render-icons SOURCE.svg SIZE COLOURS OUT.png\n");
        return 2;
    }
    const int size = std::atoi(argv[2]);
    const int colours = std::atoi(argv[3]);
    Image image;
    if (size <= 0 || colours < 2 || colours > 256 || !Render(argv[1], size, image)) {
        std::fprintf(stderr, "render-icons: cannot render %s\n", argv[1]);
        return 1;
    }
    if (!WritePng(argv[4], Reduce(image, colours))) {
        std::fprintf(stderr, "render-icons: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
