#include "model/Animation.h"

#include <cmath>

Track keyframes(int group, Channel channel, const std::vector<Key>& keys)
{
    Track track{group, {}};
    for (std::size_t k = 0; k + 1 < keys.size(); ++k)
        track.windows.push_back(
            {keys[k].ms, keys[k + 1].ms, {{channel, keys[k].value, keys[k + 1].value}}});
    return track;
}

Track keyframes(int group, const std::vector<Channel>& channels, const std::vector<MultiKey>& keys)
{
    Track track{group, {}};
    for (std::size_t k = 0; k + 1 < keys.size(); ++k) {
        Window w{keys[k].ms, keys[k + 1].ms, {}};
        for (std::size_t c = 0; c < channels.size(); ++c)
            w.writes.push_back({channels[c], keys[k].values.at(c), keys[k + 1].values.at(c)});
        track.windows.push_back(w);
    }
    return track;
}

void lerpArray(double t, int count, const double* a, const double* b, double* out)
{
    for (int i = 0; i < count; ++i)
        out[i] = (1.0 - t) * a[i] + t * b[i];
}

void blendAverage(int count, int n, const double* current, double* v)
{
    for (int i = 0; i < count; ++i)
        v[i] = (v[i] + n * current[i]) / (n + 1);
}

Ogre::Quaternion rotationOf(double angle, double x, double y, double z)
{
    if (x == 0.0 && y == 0.0 && z == 0.0)
        return Ogre::Quaternion::IDENTITY;
    double half = angle * 0.5;
    double s = std::sin(half);
    double w = std::cos(half);
    double qx = x * s, qy = y * s, qz = z * s;
    double length = std::sqrt(w * w + qx * qx + qy * qy + qz * qz);
    if (!(length > 1e-12))
        return Ogre::Quaternion::IDENTITY;
    return Ogre::Quaternion(float(w / length), float(qx / length), float(qy / length),
                            float(qz / length));
}

Ogre::Quaternion blendRotation(const Ogre::Quaternion& value, const Ogre::Quaternion& current, int n)
{
    // q and -q are the same turn; take the one on the side of the present
    // orientation so the mean does not swing the long way round.
    double sign = value.Dot(current) < 0 ? -1.0 : 1.0;
    double w = (sign * value.w + n * double(current.w)) / (n + 1);
    double x = (sign * value.x + n * double(current.x)) / (n + 1);
    double y = (sign * value.y + n * double(current.y)) / (n + 1);
    double z = (sign * value.z + n * double(current.z)) / (n + 1);
    double length = std::sqrt(w * w + x * x + y * y + z * z);
    if (!(length > 1e-9))
        return value;
    return Ogre::Quaternion(float(w / length), float(x / length), float(y / length),
                            float(z / length));
}
