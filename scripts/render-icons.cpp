// Renders an SVG drawing into a square PNG with a limited palette, as the program's icons are
// kept: render-icons SOURCE.svg SIZE COLOURS OUT.png
//
// The drawing is rendered anti-aliased, then reduced to at most COLOURS palette entries by median
// cut followed by a few k-means passes. With 256 colours the palette keeps partial transparency
// (smooth edges); with fewer colours one entry is reserved for full transparency and every other
// pixel becomes opaque, as a classic icon's mask works.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <array>
#include <cstdio>
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

QRgb ToRgb(const Sample& s) {
    auto v = [](double x) { return std::clamp(static_cast<int>(x + 0.5), 0, 255); };
    return qRgba(v(s[0]), v(s[1]), v(s[2]), v(s[3]));
}

QImage Reduce(const QImage& source, int colours) {
    const bool smoothEdges = colours >= 256;
    auto sampleAt = [&](int x, int y) {
        const QRgb p = source.pixel(x, y);
        Sample s{double(qRed(p)), double(qGreen(p)), double(qBlue(p)), double(qAlpha(p))};
        if (!smoothEdges) {
            s[3] = 255;
        }
        return s;
    };
    auto transparent = [&](int x, int y) {
        const int alpha = qAlpha(source.pixel(x, y));
        return smoothEdges ? alpha == 0 : alpha < 128;
    };
    std::vector<Sample> samples;
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            if (!transparent(x, y)) {
                samples.push_back(sampleAt(x, y));
            }
        }
    }
    std::vector<Sample> palette = MedianCut(samples, static_cast<size_t>(colours - 1));
    Refine(palette, samples);

    QList<QRgb> table{qRgba(0, 0, 0, 0)};
    for (const Sample& s : palette) {
        table.push_back(ToRgb(s));
    }
    QImage out(source.size(), QImage::Format_Indexed8);
    out.setColorTable(table);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const int index =
                transparent(x, y) ? 0 : static_cast<int>(Nearest(palette, sampleAt(x, y))) + 1;
            out.setPixel(x, y, static_cast<uint>(index));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: render-icons SOURCE.svg SIZE COLOURS OUT.png\n");
        return 2;
    }
    const int size = QString::fromLocal8Bit(argv[2]).toInt();
    const int colours = QString::fromLocal8Bit(argv[3]).toInt();
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid() || size <= 0 || colours < 2 || colours > 256) {
        std::fprintf(stderr, "render-icons: cannot render %s\n", argv[1]);
        return 1;
    }
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
    }
    if (!Reduce(image.convertToFormat(QImage::Format_ARGB32), colours).save(argv[4], "PNG")) {
        std::fprintf(stderr, "render-icons: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
