// The drummer: an H-Anim 1.1 humanoid about 1.76 m tall, standing in the rest pose, facing +Z with
// its left at +X, and one body-part file per segment. Every body part is a smooth loft of
// elliptical sections closed by rounded caps, in absolute humanoid coordinates.
#include "kinematics/ikmath.h"
#include "tools/generator.h"

#include <QSaveFile>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Vec
{
    double x = 0, y = 0, z = 0;
};

Vec operator+(Vec a, Vec b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator-(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator*(Vec a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
double dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec cross(Vec a, Vec b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec normalized(Vec a)
{
    return a * (1 / std::sqrt(dot(a, a)));
}

// A triangle mesh whose faces are counter-clockwise seen from outside.
struct Mesh
{
    std::vector<Vec> points;
    std::vector<std::vector<int>> faces;

    void append(const Mesh& other)
    {
        const int base = int(points.size());
        points.insert(points.end(), other.points.begin(), other.points.end());
        for (std::vector<int> face : other.faces) {
            for (int& index : face)
                index += base;
            faces.push_back(face);
        }
    }
    // The same surface seen from the other side: faces clockwise from outside.
    Mesh reversed() const
    {
        Mesh mesh = *this;
        for (std::vector<int>& face : mesh.faces)
            std::reverse(face.begin(), face.end());
        return mesh;
    }
    // The mirror image across the plane x = 0; mirroring turns the faces clockwise.
    Mesh mirrored() const
    {
        Mesh mesh = *this;
        for (Vec& p : mesh.points)
            p.x = -p.x;
        return mesh;
    }
};

// One cross-section of a loft: its centre, half-width across, and depths toward and away from
// the loft's front direction. A power above 2 makes the section boxier.
struct Section
{
    Vec center;
    double halfWidth;
    double front;
    double back;
    double power = 2;
};

// The side and front axes of a section whose path runs along tangent; side x front = tangent,
// which makes rings swept along the tangent face outward.
struct Frame
{
    Vec side, front;
};

Frame frameFor(Vec tangent, Vec front)
{
    const Vec f = normalized(front - tangent * dot(front, tangent));
    return {cross(f, tangent), f};
}

double superellipse(double value, double power)
{
    return std::copysign(std::pow(std::abs(value), 2 / power), value);
}

std::vector<Vec> ring(const Section& s, const Frame& frame, int around, double scale = 1)
{
    std::vector<Vec> points;
    for (int k = 0; k < around; ++k) {
        const double angle = 2 * ikPi * k / around;
        const double c = superellipse(std::cos(angle), s.power);
        const double n = superellipse(std::sin(angle), s.power);
        const double depth = n >= 0 ? s.front : s.back;
        points.push_back(s.center + frame.side * (s.halfWidth * c * scale) +
                         frame.front * (depth * n * scale));
    }
    return points;
}

// Joins rings that follow each other along their path with quads, and closes the first and last
// with a pole each unless open.
Mesh stitch(const std::vector<std::vector<Vec>>& rings, const Vec* startPole, const Vec* endPole)
{
    Mesh mesh;
    const int around = int(rings.front().size());
    for (const std::vector<Vec>& r : rings)
        mesh.points.insert(mesh.points.end(), r.begin(), r.end());
    for (int i = 0; i + 1 < int(rings.size()); ++i) {
        for (int k = 0; k < around; ++k) {
            const int next = (k + 1) % around;
            mesh.faces.push_back(
                {i * around + k, i * around + next, (i + 1) * around + next, (i + 1) * around + k});
        }
    }
    if (startPole) {
        const int pole = int(mesh.points.size());
        mesh.points.push_back(*startPole);
        for (int k = 0; k < around; ++k)
            mesh.faces.push_back({pole, (k + 1) % around, k});
    }
    if (endPole) {
        const int pole = int(mesh.points.size());
        const int last = (int(rings.size()) - 1) * around;
        mesh.points.push_back(*endPole);
        for (int k = 0; k < around; ++k)
            mesh.faces.push_back({pole, last + k, last + (k + 1) % around});
    }
    return mesh;
}

struct Caps
{
    double start; // length of the rounded cap before the first section
    double end;   // and after the last
};

// Sweeps rings through the sections (in path order) and rounds both ends off like ellipsoids.
// The rings stand across the path, or across axis when one is given.
Mesh loft(const std::vector<Section>& sections, Vec front, int around, Caps caps, int capRings = 3,
          Vec axis = {})
{
    const int count = int(sections.size());
    std::vector<Frame> frames;
    for (int i = 0; i < count; ++i) {
        const Vec from = sections[size_t(std::max(i - 1, 0))].center;
        const Vec to = sections[size_t(std::min(i + 1, count - 1))].center;
        const Vec tangent = dot(axis, axis) > 0 ? axis : normalized(to - from);
        frames.push_back(frameFor(tangent, front));
    }
    const Vec startAxis = cross(frames.front().side, frames.front().front) * -1;
    const Vec endAxis = cross(frames.back().side, frames.back().front);

    std::vector<std::vector<Vec>> rings;
    for (int j = capRings; j >= 1; --j) {
        const double angle = ikPi / 2 * j / (capRings + 1);
        Section s = sections.front();
        s.center = s.center + startAxis * (caps.start * std::sin(angle));
        rings.push_back(ring(s, frames.front(), around, std::cos(angle)));
    }
    for (int i = 0; i < count; ++i)
        rings.push_back(ring(sections[size_t(i)], frames[size_t(i)], around));
    for (int j = 1; j <= capRings; ++j) {
        const double angle = ikPi / 2 * j / (capRings + 1);
        Section s = sections.back();
        s.center = s.center + endAxis * (caps.end * std::sin(angle));
        rings.push_back(ring(s, frames.back(), around, std::cos(angle)));
    }
    const Vec startPole = sections.front().center + startAxis * caps.start;
    const Vec endPole = sections.back().center + endAxis * caps.end;
    return stitch(rings, &startPole, &endPole);
}

Mesh ellipsoid(Vec center, Vec radii, int around = 12)
{
    const Section s{center, radii.x, radii.z, radii.z};
    std::vector<Section> sections;
    for (int i = 1; i < 6; ++i) {
        const double angle = ikPi * i / 6;
        Section ring = s;
        ring.center.y = center.y + radii.y * std::cos(angle);
        ring.halfWidth = radii.x * std::sin(angle);
        ring.front = ring.back = radii.z * std::sin(angle);
        sections.push_back(ring);
    }
    // Path from top to bottom: caps close it at the poles.
    const double cap = radii.y * (1 - std::cos(ikPi / 6));
    return loft(sections, {0, 0, 1}, around, {cap, cap}, 1);
}

// A straight limb between two points with sections given as (fraction of the way, half-width,
// front depth, back depth).
struct Slice
{
    double at, halfWidth, front, back;
};

std::vector<Section> along(Vec from, Vec to, const std::vector<Slice>& slices, double power = 2)
{
    std::vector<Section> sections;
    for (const Slice& s : slices)
        sections.push_back({from + (to - from) * s.at, s.halfWidth, s.front, s.back, power});
    return sections;
}

// Joint centres of the rest pose (left side; the right mirrors them).
const Vec rootCenter{0, 0.93, 0};
const Vec hip{0.095, 0.90, 0};
const Vec knee{0.095, 0.49, 0.01};
const Vec ankle{0.095, 0.08, -0.025};
const Vec metatarsal{0.1, 0.02, 0.125};
const Vec lumbar{0, 1.0, -0.03};
const Vec thoracic{0, 1.15, -0.045};
const Vec cervical{0, 1.5, -0.025};
const Vec skullBase{0, 1.60, -0.01};
const Vec shoulder{0.19, 1.44, -0.03};
const Vec elbow{0.205, 1.15, -0.06};
// The fist closes round the drumstick that the stage view hangs from x 0.208, z 0.0204.
const Vec wrist{0.208, 0.915, 0.02};

const Vec forward{0, 0, 1};
const Vec up{0, 1, 0};

// The trousers' waistband lies over the shirt, and the chest over the abdomen.
Mesh pelvis()
{
    const std::vector<Section> s = {{{0, 0.82, -0.005}, 0.13, 0.08, 0.10, 2.3},
                                    {{0, 0.88, -0.005}, 0.165, 0.10, 0.115, 2.3},
                                    {{0, 0.95, -0.01}, 0.168, 0.107, 0.115, 2.3},
                                    {{0, 1.03, -0.013}, 0.158, 0.108, 0.106, 2.3}};
    return loft(s, forward, 24, {0.04, 0.015});
}

Mesh abdomen()
{
    const std::vector<Section> s = {{{0, 0.98, -0.012}, 0.146, 0.1, 0.094, 2.3},
                                    {{0, 1.06, -0.012}, 0.144, 0.104, 0.093, 2.3},
                                    {{0, 1.14, -0.015}, 0.143, 0.103, 0.093, 2.3},
                                    {{0, 1.19, -0.018}, 0.142, 0.102, 0.094, 2.3}};
    return loft(s, forward, 24, {0.02, 0.02});
}

Mesh chest()
{
    const std::vector<Section> s = {{{0, 1.11, -0.016}, 0.151, 0.109, 0.1, 2.4},
                                    {{0, 1.20, -0.02}, 0.156, 0.114, 0.104, 2.4},
                                    {{0, 1.28, -0.025}, 0.164, 0.12, 0.108, 2.4},
                                    {{0, 1.36, -0.03}, 0.174, 0.113, 0.11, 2.4},
                                    {{0, 1.42, -0.032}, 0.19, 0.095, 0.10, 2.4},
                                    {{0, 1.45, -0.032}, 0.182, 0.08, 0.088, 2.4},
                                    {{0, 1.468, -0.031}, 0.152, 0.066, 0.075, 2.3},
                                    {{0, 1.485, -0.03}, 0.1, 0.052, 0.062, 2.2}};
    return loft(s, forward, 28, {0.01, 0.015});
}

Mesh neck()
{
    return loft(
        along({0, 1.42, -0.025}, {0, 1.62, -0.012},
              {{0, 0.056, 0.054, 0.056}, {0.5, 0.052, 0.05, 0.053}, {1, 0.052, 0.05, 0.052}}),
        forward, 14, {0.01, 0.01}, 2);
}

// The skull as sections from the chin up; the hair follows the same profile.
const std::vector<Section> skull = {
    {{0, 1.545, 0.04}, 0.03, 0.03, 0.03},    {{0, 1.56, 0.03}, 0.05, 0.05, 0.05},
    {{0, 1.59, 0.012}, 0.066, 0.08, 0.078},  {{0, 1.625, 0.004}, 0.074, 0.09, 0.09},
    {{0, 1.66, 0.0}, 0.078, 0.094, 0.097},   {{0, 1.70, -0.005}, 0.077, 0.092, 0.1},
    {{0, 1.73, -0.01}, 0.067, 0.076, 0.087}, {{0, 1.75, -0.015}, 0.045, 0.05, 0.058}};

Mesh head()
{
    Mesh mesh = loft(skull, forward, 28, {0.012, 0.012}, 6, up);
    // The nose points down and forward from between the eyes.
    mesh.append(loft(
        along({0, 1.662, 0.088}, {0, 1.627, 0.102},
              {{0, 0.006, 0.007, 0.004}, {0.6, 0.011, 0.011, 0.005}, {1, 0.013, 0.009, 0.005}}),
        forward, 10, {0.004, 0.008}, 2));
    for (double side : {1.0, -1.0})
        mesh.append(ellipsoid({0.081 * side, 1.645, -0.008}, {0.011, 0.028, 0.018}, 10));
    return mesh;
}

// The skull's sections with its rounded top, from the chin up to the crown.
std::vector<Section> skullProfile(int capRings)
{
    std::vector<Section> profile = skull;
    const double cap = 0.012;
    for (int j = 1; j <= capRings; ++j) {
        const double angle = ikPi / 2 * j / (capRings + 1);
        Section s = skull.back();
        s.center = s.center + up * (cap * std::sin(angle));
        s.halfWidth *= std::cos(angle);
        s.front *= std::cos(angle);
        s.back *= std::cos(angle);
        profile.push_back(s);
    }
    return profile;
}

// The skull's section at height y.
Section skullAt(const std::vector<Section>& profile, double y)
{
    size_t i = 1;
    while (i + 1 < profile.size() && profile[i].center.y < y)
        ++i;
    const Section& a = profile[i - 1];
    const Section& b = profile[i];
    const double t = std::clamp((y - a.center.y) / (b.center.y - a.center.y), 0.0, 1.0);
    return {a.center + (b.center - a.center) * t, a.halfWidth + (b.halfWidth - a.halfWidth) * t,
            a.front + (b.front - a.front) * t, a.back + (b.back - a.back) * t};
}

// A shell over the top and back of the skull, its edge low at the back and high at the front.
Mesh hair()
{
    const int around = 28;
    const int rows = 9;
    const double lift = 0.007;
    const Frame frame = frameFor(up, forward);
    const std::vector<Section> profile = skullProfile(6);
    const double crown = profile.back().center.y;
    std::vector<std::vector<Vec>> rings;
    for (int row = 0; row < rows; ++row) {
        std::vector<Vec> points;
        for (int k = 0; k < around; ++k) {
            const double angle = 2 * ikPi * k / around;
            const double toFront = std::sin(angle);
            const double edge = toFront >= 0 ? 1.685 + 0.03 * toFront : 1.685 + 0.085 * toFront;
            // Rows crowd toward the crown, where the skull curves most.
            const double along = std::sin(ikPi / 2 * row / rows);
            const Section s = skullAt(profile, edge + (crown - edge) * along);
            points.push_back(s.center + frame.side * ((s.halfWidth + lift) * std::cos(angle)) +
                             frame.front * (((toFront >= 0 ? s.front : s.back) + lift) * toFront));
        }
        rings.push_back(points);
    }
    const Vec pole = skull.back().center + up * (0.012 + lift);
    Mesh mesh = stitch(rings, nullptr, &pole);
    for (double side : {1.0, -1.0}) // eyebrows
        mesh.append(ellipsoid({0.032 * side, 1.681, 0.087}, {0.02, 0.004, 0.007}, 8));
    return mesh;
}

// The eyes and the mouth.
Mesh face()
{
    Mesh mesh = ellipsoid({0.031, 1.66, 0.078}, {0.011, 0.011, 0.011}, 10);
    mesh.append(ellipsoid({-0.031, 1.66, 0.078}, {0.011, 0.011, 0.011}, 10));
    mesh.append(ellipsoid({0, 1.592, 0.087}, {0.02, 0.0035, 0.006}, 10));
    return mesh;
}

Mesh thigh()
{
    return loft(along({0.093, 0.965, 0.004}, {0.095, 0.51, 0.012},
                      {{0, 0.084, 0.084, 0.09},
                       {0.2, 0.082, 0.08, 0.083},
                       {0.5, 0.072, 0.07, 0.068},
                       {0.78, 0.06, 0.06, 0.057},
                       {1, 0.054, 0.055, 0.052}}),
                forward, 18, {0.04, 0.03});
}

Mesh leg()
{
    return loft(along({0.095, 0.52, 0.01}, {0.095, 0.11, -0.02},
                      {{0, 0.055, 0.056, 0.055},
                       {0.24, 0.056, 0.05, 0.066},
                       {0.54, 0.052, 0.05, 0.058},
                       {0.83, 0.056, 0.056, 0.056},
                       {1, 0.058, 0.058, 0.058}}),
                forward, 18, {0.03, 0.012});
}

// A shoe from heel to toe, its top facing up; the sole lies on the floor.
Mesh foot()
{
    const std::vector<Section> s = {{{0.095, 0.06, -0.075}, 0.040, 0.05, 0.06, 3},
                                    {{0.096, 0.062, -0.03}, 0.045, 0.075, 0.062, 3},
                                    {{0.098, 0.055, 0.03}, 0.048, 0.058, 0.055, 3},
                                    {{0.101, 0.042, 0.10}, 0.05, 0.04, 0.042, 3},
                                    {{0.103, 0.036, 0.16}, 0.047, 0.03, 0.036, 3}};
    return loft(s, up, 20, {0.02, 0.04});
}

Mesh upperArm()
{
    return loft(along({0.192, 1.435, -0.03}, {0.205, 1.165, -0.058},
                      {{0, 0.047, 0.05, 0.048},
                       {0.3, 0.048, 0.047, 0.046},
                       {0.65, 0.044, 0.044, 0.042},
                       {1, 0.04, 0.04, 0.04}}),
                forward, 16, {0.026, 0.03});
}

Mesh lowerArm()
{
    return loft(along({0.205, 1.16, -0.058}, {0.208, 0.93, 0.017},
                      {{0, 0.038, 0.038, 0.04},
                       {0.3, 0.036, 0.037, 0.036},
                       {0.65, 0.028, 0.03, 0.03},
                       {1, 0.019, 0.027, 0.026}}),
                forward, 16, {0.025, 0.015});
}

// A fist closed round the stick, its thumb in front.
Mesh hand()
{
    Mesh mesh = loft(along({0.208, 0.925, 0.02}, {0.209, 0.815, 0.022},
                           {{0, 0.02, 0.028, 0.026},
                            {0.3, 0.026, 0.042, 0.035},
                            {0.65, 0.03, 0.05, 0.04},
                            {1, 0.029, 0.046, 0.04}},
                           2.6),
                     forward, 16, {0.01, 0.025});
    mesh.append(loft(along({0.199, 0.905, 0.048}, {0.2, 0.855, 0.073},
                           {{0, 0.012, 0.012, 0.012}, {1, 0.011, 0.011, 0.011}}),
                     forward, 10, {0.01, 0.011}, 2));
    return mesh;
}

struct Material
{
    double diffuse[3];
    double specular;
    double shininess;
};

const Material skin{{0.86, 0.64, 0.52}, 0.06, 0.25};
const Material shirt{{0.62, 0.12, 0.1}, 0.04, 0.1};
const Material trousers{{0.14, 0.17, 0.3}, 0.03, 0.1};
const Material shoe{{0.09, 0.07, 0.06}, 0.25, 0.6};
const Material hairColor{{0.2, 0.12, 0.07}, 0.08, 0.3};
const Material dark{{0.05, 0.04, 0.04}, 0.4, 0.9};

QString number(double value)
{
    QString text = QString::number(value, 'f', 4);
    while (text.contains('.') && (text.endsWith('0') || text.endsWith('.')))
        text.chop(1);
    return text == "-0" ? "0" : text;
}

QString triple(Vec v)
{
    return number(v.x) + ' ' + number(v.y) + ' ' + number(v.z);
}

bool save(const QString& path, const QString& text)
{
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    std::fprintf(stderr, "gen_humanoid: cannot write %s\n", qPrintable(path));
    return false;
}

// One body-part file; clockwise meshes say so with ccw FALSE.
QString bodyPartText(const QString& title, const Mesh& mesh, const Material& m, bool clockwise)
{
    QString text;
    QTextStream out(&text);
    out << "#VRML V2.0 utf8\n# Olmira drummer body part: " << title << "\n"
        << "Transform {\n  translation 0 0 0\n  rotation 0 1 0 0\n  scale 1 1 1\n"
        << "  children [\n    Shape {\n      appearance Appearance {\n"
        << "        material Material {\n"
        << "          ambientIntensity 0.45\n"
        << "          diffuseColor " << number(m.diffuse[0]) << ' ' << number(m.diffuse[1]) << ' '
        << number(m.diffuse[2]) << "\n"
        << "          specularColor " << number(m.specular) << ' ' << number(m.specular) << ' '
        << number(m.specular) << "\n"
        << "          emissiveColor 0 0 0\n"
        << "          shininess " << number(m.shininess) << "\n"
        << "          transparency 0\n        }\n      }\n"
        << "      geometry IndexedFaceSet {\n        solid TRUE\n        creaseAngle 3\n"
        << "        ccw " << (clockwise ? "FALSE" : "TRUE") << "\n"
        << "        coord Coordinate {\n          point [\n";
    for (const Vec& p : mesh.points)
        out << "            " << triple(p) << ",\n";
    out << "          ]\n        }\n        coordIndex [\n";
    for (const std::vector<int>& face : mesh.faces) {
        out << "         ";
        for (int index : face)
            out << ' ' << index;
        out << " -1,\n";
    }
    out << "        ]\n      }\n    }\n  ]\n}\n";
    return text;
}

struct Bounds
{
    Vec low{1e9, 1e9, 1e9};
    Vec high{-1e9, -1e9, -1e9};
};

Bounds boundsOf(const Mesh& mesh)
{
    Bounds b;
    for (const Vec& p : mesh.points) {
        b.low = {std::min(b.low.x, p.x), std::min(b.low.y, p.y), std::min(b.low.z, p.z)};
        b.high = {std::max(b.high.x, p.x), std::max(b.high.y, p.y), std::max(b.high.z, p.z)};
    }
    return b;
}

// A body-part file as stored.
struct PartFile
{
    QString file;
    QString title;
    Mesh mesh;
    const Material* material;
    bool clockwise;
};

// A segment of the skeleton and its body-part file.
struct Part
{
    QString segment;
    PartFile file;
};

// A joint of the rest pose with its limits (radians) and solver step factors per axis.
struct JointSpec
{
    QString name;
    Vec center;
    Vec llimit, ulimit, stiffness;
    std::vector<Part> parts;
    std::vector<JointSpec> children;
    Vec translation;
};

// The loader flips these left body parts, so they are stored clockwise.
bool storedClockwise(const QString& file)
{
    return file == "Mdl_left_lower_arm.wrl" || file == "Mdl_left_upper_arm.wrl" ||
           file == "Mdl_left_leg.wrl" || file == "Mdl_left_thigh.wrl" ||
           file == "Mdl_left_foot.wrl";
}

Part centralPart(const QString& segment, const QString& file, const Mesh& mesh,
                 const Material& material)
{
    return {segment, {file, segment, mesh, &material, false}};
}

// A part of one side from its left-side mesh: the right one is its mirror image.
Part sidePart(bool left, const QString& segment, const QString& file, const Mesh& leftMesh,
              const Material& material)
{
    const QString side = left ? "left" : "right";
    const QString name = "Mdl_" + side + "_" + file + ".wrl";
    const Mesh mesh = left ? leftMesh : leftMesh.mirrored().reversed();
    const bool clockwise = storedClockwise(name);
    return {(left ? "l_" : "r_") + segment,
            {name, side + " " + segment, clockwise ? mesh.reversed() : mesh, &material, clockwise}};
}

// A joint of one side from its left-side values; mirroring negates the turns about Y and Z.
JointSpec sideJoint(bool left, const QString& name, Vec center, Vec llimit, Vec ulimit,
                    Vec stiffness)
{
    if (left)
        return {"l_" + name, center, llimit, ulimit, stiffness, {}, {}, {}};
    return {"r_" + name,
            {-center.x, center.y, center.z},
            {llimit.x, -ulimit.y, -ulimit.z},
            {ulimit.x, -llimit.y, -llimit.z},
            stiffness,
            {},
            {},
            {}};
}

JointSpec legChain(bool left)
{
    JointSpec hipJoint =
        sideJoint(left, "hip", hip, {-2.0, -0.7, -0.3}, {0.5, 0.7, 0.8}, {0.4, 0.2, 0.3});
    JointSpec kneeJoint =
        sideJoint(left, "knee", knee, {0, -0.15, 0}, {2.4, 0.15, 0}, {0.5, 0.1, 0});
    JointSpec ankleJoint =
        sideJoint(left, "ankle", ankle, {-0.7, -0.3, -0.3}, {0.8, 0.3, 0.3}, {0.4, 0.2, 0.2});
    JointSpec toes = sideJoint(left, "metatarsal", metatarsal, {-0.5, 0, 0}, {0.5, 0, 0}, {});
    hipJoint.parts.push_back(sidePart(left, "thigh", "thigh", thigh(), trousers));
    kneeJoint.parts.push_back(sidePart(left, "calf", "leg", leg(), trousers));
    ankleJoint.parts.push_back(sidePart(left, "hindfoot", "foot", foot(), shoe));
    ankleJoint.children.push_back(toes);
    kneeJoint.children.push_back(ankleJoint);
    hipJoint.children.push_back(kneeJoint);
    return hipJoint;
}

// A drummer's elbows stay near his sides: the upper arm swings little sideways, so that a hand
// crossing over to the other side turns the upper arm and passes in front of the body, not into
// it. The stiffness is high so that a stroke reaches its hit point within the solves of its
// approach.
JointSpec armChain(bool left)
{
    JointSpec shoulderJoint = sideJoint(left, "shoulder", shoulder, {-2.3, -0.6, 0},
                                        {0.15, 1.1, 0.4}, {1, 0.95, 0.95});
    JointSpec elbowJoint =
        sideJoint(left, "elbow", elbow, {-2.6, -1.1, 0}, {0, 1.1, 0}, {0.45, 0.83, 0});
    JointSpec wristJoint =
        sideJoint(left, "wrist", wrist, {-1.4, -0.4, -0.7}, {1.3, 0.6, 0.3}, {0.71, 0.35, 0.9});
    shoulderJoint.parts.push_back(sidePart(left, "upperarm", "upper_arm", upperArm(), shirt));
    elbowJoint.parts.push_back(sidePart(left, "forearm", "lower_arm", lowerArm(), skin));
    wristJoint.parts.push_back(sidePart(left, "hand", "hand", hand(), skin));
    elbowJoint.children.push_back(wristJoint);
    shoulderJoint.children.push_back(elbowJoint);
    return shoulderJoint;
}

JointSpec skeleton()
{
    JointSpec skullJoint{
        "skullbase", skullBase, {-0.5, -1.0, -0.4}, {0.5, 1.0, 0.4}, {0.2, 0.2, 0.2}, {}, {}, {}};
    skullJoint.parts = {centralPart("skull", "Mdl_head.wrl", head(), skin),
                        centralPart("hair", "Mdl_hair.wrl", hair(), hairColor),
                        centralPart("face", "Mdl_face.wrl", face(), dark)};
    // The stage view turns vc4 toward the sticks: the drummer looks at what he plays.
    JointSpec neckJoint{"vc4", cervical, {-0.4, -0.8, -0.3}, {0.5, 0.8, 0.3}, {0.1, 0.1, 0.1}, {},
                        {},    {}};
    neckJoint.parts = {centralPart("neck", "Mdl_neck.wrl", neck(), skin)};
    neckJoint.children = {skullJoint};
    // The spine bends forward over the drums, and the chest leans forward a little at least.
    JointSpec chestJoint{
        "vt10", thoracic, {0.22, -0.35, -0.15}, {0.4, 0.35, 0.15}, {0.15, 0.15, 0.1}, {}, {}, {}};
    chestJoint.parts = {centralPart("chest", "Mdl_chest.wrl", chest(), shirt)};
    chestJoint.children = {neckJoint, armChain(true), armChain(false)};
    JointSpec spine{"vl5", lumbar, {-0.05, -0.3, -0.15}, {0.4, 0.3, 0.15}, {0.15, 0.15, 0.1}, {},
                    {},    {}};
    spine.parts = {centralPart("abdomen", "Mdl_abdomen.wrl", abdomen(), shirt)};
    spine.children = {chestJoint};
    // The pelvis sits still on the chair: only the legs and the spine turn.
    JointSpec pelvisJoint{
        "sacroiliac", rootCenter, {-0.2, -0.2, -0.2}, {0.2, 0.2, 0.2}, {0, 0, 0}, {}, {}, {}};
    pelvisJoint.parts = {centralPart("pelvis", "Mdl_hips.wrl", pelvis(), trousers)};
    pelvisJoint.children = {legChain(true), legChain(false)};
    // Placed so that the seated figure rests on the stage view's chair at (0, 0.52, 1.2).
    JointSpec root{
        "HumanoidRoot", rootCenter, {-0.2, -0.2, -0.2}, {0.2, 0.2, 0.2}, {0, 0, 0}, {}, {},
        {0, -0.29, 1.2}};
    root.children = {pelvisJoint, spine};
    return root;
}

void collectFiles(const JointSpec& joint, std::vector<PartFile>& files)
{
    for (const Part& part : joint.parts)
        files.push_back(part.file);
    for (const JointSpec& child : joint.children)
        collectFiles(child, files);
}

QString indent(int level)
{
    return QString(level * 2, ' ');
}

void writeJoint(QTextStream& out, const JointSpec& joint, int level)
{
    const QString in = indent(level);
    out << in << "DEF hanim_" << joint.name << " Joint {\n"
        << in << "  name \"" << joint.name << "\"\n";
    if (joint.translation.x != 0 || joint.translation.y != 0 || joint.translation.z != 0)
        out << in << "  translation " << triple(joint.translation) << "\n";
    out << in << "  center " << triple(joint.center) << "\n"
        << in << "  llimit " << triple(joint.llimit) << "\n"
        << in << "  ulimit " << triple(joint.ulimit) << "\n"
        << in << "  stiffness " << triple(joint.stiffness) << "\n"
        << in << "  children [\n";
    for (const Part& part : joint.parts) {
        const Bounds b = boundsOf(part.file.mesh);
        out << in << "    DEF hanim_" << part.segment << " Segment {\n"
            << in << "      name \"" << part.segment << "\"\n"
            << in << "      bboxCenter " << triple((b.low + b.high) * 0.5) << "\n"
            << in << "      bboxSize " << triple(b.high - b.low) << "\n"
            << in << "      children [\n"
            << in << "        Inline { url \"BParts/lod4/" << part.file.file << "\" }\n"
            << in << "      ]\n"
            << in << "    }\n";
    }
    for (const JointSpec& child : joint.children)
        writeJoint(out, child, level + 2);
    out << in << "  ]\n" << in << "}\n";
}

QString humanoidText(const JointSpec& root)
{
    QString text;
    QTextStream out(&text);
    out << "#VRML V2.0 utf8\n"
        << "# Olmira's drummer: an H-Anim 1.1 humanoid in the rest pose, facing +Z, left at +X.\n"
        << "DEF hanim_Humanoid Humanoid {\n"
        << "  name \"olmira_drummer\"\n"
        << "  version \"1.1\"\n"
        << "  info [\n"
        << "    \"authorName=Olmira data generator\"\n"
        << "    \"height=1.77\"\n"
        << "  ]\n"
        << "  humanoidBody [\n";
    writeJoint(out, root, 2);
    out << "  ]\n}\n";
    return text;
}

bool writeHumanoid(const QString& runDir)
{
    const JointSpec root = skeleton();
    std::vector<PartFile> files;
    collectFiles(root, files);
    for (const PartFile& part : files)
        if (!save(runDir + "/BParts/lod4/" + part.file,
                  bodyPartText(part.title, part.mesh, *part.material, part.clockwise)))
            return false;
    return save(runDir + "/Human-lod4-0012.wrl", humanoidText(root));
}

} // namespace

OLMIRA_GENERATOR(1, humanoid, writeHumanoid);
