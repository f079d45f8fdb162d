// Looks at one rectangle of a window picture (a binary PPM as windowshot
// writes it) and prints "<share of text-bright pixels> <share of pixels that
// differ from a second picture> <mean red> <mean green> <mean blue> <share of
// lit pixels>". A pixel is text-bright when its strongest channel is at
// least 100: the lit scenery stays below that, the texts' palette colours
// above it; it is lit when that channel is at least 12 (the background
// clear colour is 3).
//   ppmregion PICTURE X Y W H [OTHER]
#include "ppm.h"

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>


int main(int argc, char** argv)
{
    if (argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: ppmregion PICTURE X Y W H [OTHER]\n");
        return 2;
    }
    Picture a, b;
    if (!loadPicture(argv[1], a) || (argc == 7 && !loadPicture(argv[6], b))) {
        std::fprintf(stderr, "ppmregion: cannot read the pictures\n");
        return 2;
    }
    const int x0 = std::atoi(argv[2]), y0 = std::atoi(argv[3]);
    const int x1 = std::min(a.width, x0 + std::atoi(argv[4])), y1 = std::min(a.height, y0 + std::atoi(argv[5]));
    long count = 0, bright = 0, changed = 0, lit = 0;
    double sum[3] = {0, 0, 0};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = a.at(x, y);
            ++count;
            int strongest = std::max(p[0], std::max(p[1], p[2]));
            bright += strongest >= 100;
            lit += strongest >= 12;
            for (int c = 0; c < 3; ++c)
                sum[c] += p[c];
            if (!b.rgb.empty() && b.width == a.width && b.height == a.height) {
                const unsigned char* q = b.at(x, y);
                changed += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 24;
            }
        }
    if (count == 0) {
        std::fprintf(stderr, "ppmregion: empty rectangle\n");
        return 2;
    }
    std::printf("%.4f %.4f %.1f %.1f %.1f %.4f\n", double(bright) / count, double(changed) / count,
                sum[0] / count, sum[1] / count, sum[2] / count, double(lit) / count);
    return 0;
}
