// Counts the lit pixels of a rectangle of a window picture and where they
// lie: prints "<lit pixels> <mean x> <mean y>" (-1 for the means when none
// is lit); a pixel is lit when any channel exceeds the threshold (default
// 40). Given a colour R G B, only lit pixels of its 16-level bin count (each
// channel divided by 16 alike). With --dominant it prints instead the commonest colour of
// the lit pixels, as "R G B" (the middle of its 16-level bin).
//   ppmlit PICTURE X0 Y0 X1 Y1 [THRESHOLD [R G B]]
//   ppmlit --dominant PICTURE X0 Y0 X1 Y1 [THRESHOLD]
#include "ppm.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

int main(int argc, char** argv)
{
    const bool dominant = argc > 1 && std::strcmp(argv[1], "--dominant") == 0;
    if (dominant) {
        --argc;
        ++argv;
    }
    if (argc < 6 || (argc != 6 && argc != 7 && argc != 10)) {
        std::fprintf(stderr, "usage: ppmlit [--dominant] PICTURE X0 Y0 X1 Y1 [THRESHOLD [R G B]]\n");
        return 1;
    }
    Picture picture;
    if (!loadPicture(argv[1], picture)) {
        std::fprintf(stderr, "ppmlit: cannot read %s\n", argv[1]);
        return 1;
    }
    const int x0 = std::atoi(argv[2]), y0 = std::atoi(argv[3]);
    const int x1 = std::atoi(argv[4]), y1 = std::atoi(argv[5]);
    const int threshold = argc > 6 ? std::atoi(argv[6]) : 40;
    const bool matchColour = argc == 10;
    const int want[3] = {matchColour ? std::atoi(argv[7]) : 0, matchColour ? std::atoi(argv[8]) : 0,
                         matchColour ? std::atoi(argv[9]) : 0};
    long lit = 0;
    double sx = 0, sy = 0;
    std::map<int, long> bins;
    for (int y = y0 < 0 ? 0 : y0; y < y1 && y < picture.height; ++y)
        for (int x = x0 < 0 ? 0 : x0; x < x1 && x < picture.width; ++x) {
            const unsigned char* p = picture.at(x, y);
            if (p[0] <= threshold && p[1] <= threshold && p[2] <= threshold)
                continue;
            if (matchColour && (p[0] / 16 != want[0] / 16 || p[1] / 16 != want[1] / 16 || p[2] / 16 != want[2] / 16))
                continue;
            ++lit;
            sx += x;
            sy += y;
            ++bins[(p[0] / 16) << 8 | (p[1] / 16) << 4 | p[2] / 16];
        }
    if (dominant) {
        int best = -1;
        long most = 0;
        for (const auto& bin : bins)
            if (bin.second > most) {
                most = bin.second;
                best = bin.first;
            }
        if (best < 0) {
            std::printf("none\n");
            return 1;
        }
        std::printf("%d %d %d\n", (best >> 8) * 16 + 8, ((best >> 4) & 15) * 16 + 8, (best & 15) * 16 + 8);
        return 0;
    }
    std::printf("%ld %.1f %.1f\n", lit, lit ? sx / lit : -1.0, lit ? sy / lit : -1.0);
    return 0;
}
