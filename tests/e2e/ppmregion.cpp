// Measures a rectangle of a PPM picture (as windowshot writes them): prints
// "<lit pixels> <mean x> <mean y>", where a pixel is lit when any of its
// channels exceeds the threshold (default 40).
//   ppmregion FILE X0 Y0 X1 Y1 [THRESHOLD]
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: ppmregion FILE X0 Y0 X1 Y1 [THRESHOLD]\n");
        return 1;
    }
    FILE* in = std::fopen(argv[1], "rb");
    if (!in) {
        std::fprintf(stderr, "ppmregion: cannot open %s\n", argv[1]);
        return 1;
    }
    int w = 0, h = 0, max = 0;
    if (std::fscanf(in, "P6 %d %d %d", &w, &h, &max) != 3 || w <= 0 || h <= 0) {
        std::fprintf(stderr, "ppmregion: not a PPM picture\n");
        return 1;
    }
    std::fgetc(in);
    std::vector<unsigned char> px(std::size_t(w) * h * 3);
    if (std::fread(px.data(), 1, px.size(), in) != px.size()) {
        std::fprintf(stderr, "ppmregion: picture cut short\n");
        return 1;
    }
    const int x0 = std::atoi(argv[2]), y0 = std::atoi(argv[3]);
    const int x1 = std::atoi(argv[4]), y1 = std::atoi(argv[5]);
    const int threshold = argc > 6 ? std::atoi(argv[6]) : 40;
    long lit = 0;
    double sx = 0, sy = 0;
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < h; ++y)
        for (int x = x0 < 0 ? 0 : x0; x < x1 && x < w; ++x) {
            const unsigned char* p = &px[(std::size_t(y) * w + x) * 3];
            if (p[0] > threshold || p[1] > threshold || p[2] > threshold) {
                ++lit;
                sx += x;
                sy += y;
            }
        }
    std::printf("%ld %.1f %.1f\n", lit, lit ? sx / lit : -1.0, lit ? sy / lit : -1.0);
    return 0;
}
