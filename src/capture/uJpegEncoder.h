#pragma once
// Baseline colour JPEG through libjpeg-turbo: libjpeg's default settings and
// its quality scaling with baseline-compatible tables. One encoder is kept
// for the program's lifetime and reused, with its output buffer.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

// A marker written after the JFIF header (an APP1 with Exif or XMP).
struct TJpegMarker {
    int code;
    QByteArray data;
};

// The quality the encoder uses for a quality setting: its low 8 bits, 0 as 1
// and anything above 100 as 100 (so 300 is 44).
int JpegQuality(int setting);

class TJpegEncoder
{
public:
    TJpegEncoder();
    ~TJpegEncoder();
    TJpegEncoder(const TJpegEncoder &) = delete;
    TJpegEncoder &operator=(const TJpegEncoder &) = delete;

    // Compresses the image (RGB888 and RGB32 directly, other formats through
    // RGB888) at JpegQuality(quality). The result stays valid until the next
    // call; on failure it is empty and error says why.
    bool Encode(const QImage &image, int quality, const std::vector<TJpegMarker> &markers,
                QString *error = nullptr);
    const QByteArray &Data() const { return m_data; }

private:
    struct TState;
    std::unique_ptr<TState> m_state;
    QByteArray m_data;
};
