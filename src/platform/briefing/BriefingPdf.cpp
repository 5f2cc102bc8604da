#include "briefing/BriefingPdf.h"

#include "briefing/TextLook.h"

#include <QRawFont>

#include <array>
#include <cmath>
#include <deque>

namespace BriefingPdf {
namespace {

// A4 in points, and 2 cm.
constexpr double kPageWidth = 595.28;
constexpr double kPageHeight = 841.89;
constexpr double kMargin = 56.69;
constexpr double kFooterPoints = 9;
// The face's ascent, and its line spacing, per point of size.
constexpr double kAscent = 0.905;
constexpr double kLineSpacing = 1.15;

// The characters WinAnsiEncoding puts at 0x80 to 0x9F; the rest of 0x20 to 0xFF is Latin-1 itself.
constexpr std::array<char16_t, 32> kFrom0x80 { u'€', 0, u'‚', u'ƒ', u'„', u'…', u'†', u'‡', u'ˆ', u'‰', u'Š', u'‹',
    u'Œ', 0, u'Ž', 0, 0, u'‘', u'’', u'“', u'”', u'•', u'–', u'—', u'˜', u'™', u'š', u'›', u'œ', 0, u'ž', u'Ÿ' };

// The byte that shows @p c, or 0 when the built-in faces have none. Tabs and other control characters,
// which the panel shows as blanks, are blanks here too.
unsigned char encode(char16_t c)
{
    if (c < 0x20)
        return ' ';
    if (c < 0x7F || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (size_t k = 0; k < kFrom0x80.size(); ++k) {
        if (kFrom0x80.at(k) == c && c != 0)
            return static_cast<unsigned char>(0x80 + k);
    }
    return 0;
}

// The widths of the 256 codes in thousandths of the size, read from the window's face, which the built-in
// Helvetica matches glyph for glyph; written into the PDF too, so that any face a reader puts in its place is
// fitted to the lines laid out here.
std::array<double, 256> widths(bool bold)
{
    QRawFont font = QRawFont::fromFont(TextLook::sansFont(10, bold));
    font.setPixelSize(1000);
    std::array<double, 256> result {};
    for (int code = 0x20; code < 0x100; ++code) {
        const char16_t c = code >= 0x80 && code < 0xA0 ? kFrom0x80.at(static_cast<size_t>(code - 0x80))
                                                       : static_cast<char16_t>(code);
        const QList<quint32> glyphs = font.glyphIndexesForString(QString(QChar(c == 0 ? u' ' : c)));
        const QList<QPointF> advances = font.advancesForGlyphIndexes(glyphs);
        result.at(static_cast<size_t>(code)) = advances.isEmpty() ? 500 : std::round(advances.first().x());
    }
    return result;
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'f', 2);
}

// A text as the PDF writes it in a file's properties: UTF-16 with its byte order mark, in hexadecimal.
QByteArray textString(const QString& text)
{
    QByteArray utf16 = "\xfe\xff";
    for (const QChar c : text) {
        utf16 += static_cast<char>(c.unicode() >> 8);
        utf16 += static_cast<char>(c.unicode() & 0xFF);
    }
    return '<' + utf16.toHex() + '>';
}

QByteArray colour(quint32 rgb)
{
    return number(((rgb >> 16) & 0xFF) / 255.0) + ' ' + number(((rgb >> 8) & 0xFF) / 255.0) + ' '
        + number((rgb & 0xFF) / 255.0) + " rg\n";
}

// One stretch of a laid-out line, in one look: bytes [from, to) of its run, encoded.
struct Piece
{
    const QByteArray* bytes;
    qsizetype from;
    qsizetype to;
    const TextRun* look;
};

struct Line
{
    QList<Piece> pieces;
    double points = 0; // the largest size on the line
};

class Writer
{
public:
    Writer()
        : m_widths { widths(false), widths(true) }
    {
    }

    // Cuts @p paragraph into lines no wider than the text column, at the last blank that fits, or anywhere
    // in a word longer than a line. Lines point into the runs' encoded bytes: nothing is copied per character.
    void layOut(const BriefingDocument::Paragraph& paragraph)
    {
        constexpr double kColumn = kPageWidth - 2 * kMargin;
        Line line;
        double width = 0;
        // Where the line may be cut: the piece and byte after the last blank, and the width up to there.
        qsizetype breakPiece = -1;
        qsizetype breakByte = 0;
        double breakWidth = 0;
        const auto close = [&] { m_lines.append(std::exchange(line, Line())); };
        for (const TextRun& run : paragraph) {
            QByteArray& bytes = m_encoded.emplace_back(run.text.size(), Qt::Uninitialized);
            char* out = bytes.data();
            for (const QChar c : run.text)
                *out++ = static_cast<char>(encode(c.unicode()));
            line.points = std::max(line.points, run.pointSize);
            line.pieces.append(Piece { &bytes, 0, 0, &run });
            const std::array<double, 256>& advance = m_widths.at(run.bold ? 1 : 0);
            const double scale = run.pointSize / 1000;
            for (qsizetype k = 0; k < bytes.size(); ++k) {
                const auto code = static_cast<unsigned char>(bytes[k]);
                const double charWidth = advance[code] * scale;
                if (width + charWidth > kColumn && width > 0) {
                    Line rest;
                    if (breakPiece >= 0 && code != ' ') {
                        // The words after the last blank go to the next line.
                        for (qsizetype p = breakPiece; p < line.pieces.size(); ++p) {
                            Piece& piece = line.pieces[p];
                            rest.pieces.append(
                                Piece { piece.bytes, p == breakPiece ? breakByte : piece.from, piece.to, piece.look });
                            rest.points = std::max(rest.points, piece.look->pointSize);
                        }
                        line.pieces[breakPiece].to = breakByte;
                        line.pieces.resize(breakPiece + 1);
                        width -= breakWidth;
                    } else {
                        rest.pieces.append(Piece { &bytes, k, k, &run });
                        rest.points = run.pointSize;
                        width = 0;
                    }
                    close();
                    line = rest;
                    breakPiece = -1;
                    if (code == ' ') {
                        // A blank where a line is cut is not shown.
                        line.pieces.last().from = line.pieces.last().to = k + 1;
                        continue;
                    }
                }
                line.pieces.last().to = k + 1;
                width += charWidth;
                if (code == ' ') {
                    breakPiece = line.pieces.size() - 1;
                    breakByte = k + 1;
                    breakWidth = width;
                }
            }
        }
        if (line.points == 0)
            line.points = 9;
        close();
    }

    Pdf write(const QString& title, const QString& creator)
    {
        QByteArray file = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
        // Objects 1 to 4: catalogue, properties, the two faces; then each page and its content; the page
        // tree, which must list them, last.
        QList<qsizetype> offsets { 0 };
        const auto object = [&](const QByteArray& body) {
            offsets.append(file.size());
            file += QByteArray::number(offsets.size() - 1) + " 0 obj\n" + body + "\nendobj\n";
            return offsets.size() - 1;
        };
        const QList<QByteArray> pages = paginate();
        const qsizetype tree = 5 + 2 * pages.size();
        object("<< /Type /Catalog /Pages " + QByteArray::number(tree) + " 0 R >>");
        object("<< /Title " + textString(title) + " /Creator " + textString(creator) + " >>");
        for (int face = 0; face < 2; ++face) {
            QByteArray list;
            for (int code = 0x20; code < 0x100; ++code)
                list += QByteArray::number(m_widths.at(static_cast<size_t>(face)).at(static_cast<size_t>(code))) + ' ';
            object(QByteArray("<< /Type /Font /Subtype /Type1 /BaseFont /") + (face ? "Helvetica-Bold" : "Helvetica")
                + " /Encoding /WinAnsiEncoding /FirstChar 32 /LastChar 255 /Widths [" + list.trimmed() + "] >>");
        }
        QByteArray kids;
        for (const QByteArray& content : pages) {
            const qsizetype page = offsets.size();
            kids += QByteArray::number(page) + " 0 R ";
            object("<< /Type /Page /Parent " + QByteArray::number(tree) + " 0 R /MediaBox [0 0 " + number(kPageWidth)
                + ' ' + number(kPageHeight) + "] /Resources << /Font << /F1 3 0 R /F2 4 0 R >> >> /Contents "
                + QByteArray::number(page + 1) + " 0 R >>");
            // qCompress() puts the length before the zlib stream the PDF wants.
            const QByteArray packed = qCompress(content, 1).mid(4);
            object("<< /Length " + QByteArray::number(packed.size()) + " /Filter /FlateDecode >>\nstream\n" + packed
                + "\nendstream");
        }
        object("<< /Type /Pages /Kids [" + kids.trimmed() + "] /Count " + QByteArray::number(pages.size()) + " >>");
        const qsizetype xref = file.size();
        file += "xref\n0 " + QByteArray::number(offsets.size()) + "\n0000000000 65535 f \n";
        for (qsizetype k = 1; k < offsets.size(); ++k)
            file += QByteArray::number(offsets.at(k)).rightJustified(10, '0') + " 00000 n \n";
        file += "trailer\n<< /Size " + QByteArray::number(offsets.size()) + " /Root 1 0 R /Info 2 0 R >>\nstartxref\n"
            + QByteArray::number(xref) + "\n%%EOF\n";
        return Pdf { file, static_cast<int>(pages.size()) };
    }

private:
    // The content of each page: its lines from the top margin down, and its number under it.
    QList<QByteArray> paginate() const
    {
        QList<QByteArray> pages;
        QByteArray content;
        double top = kPageHeight - kMargin;
        // The look in force on the page, set again only when a piece changes it.
        const TextRun* look = nullptr;
        const auto finishPage = [&] {
            const QByteArray pageNumber = QByteArray::number(pages.size() + 1);
            double width = 0;
            for (const char c : pageNumber)
                width += m_widths.at(0).at(static_cast<unsigned char>(c)) * kFooterPoints / 1000;
            content += "/F1 " + number(kFooterPoints) + " Tf\n0 0 0 rg\n1 0 0 1 " + number((kPageWidth - width) / 2)
                + ' ' + number(kMargin / 2) + " Tm\n(" + pageNumber + ") Tj\nET\n";
            pages.append(std::exchange(content, QByteArray()));
            top = kPageHeight - kMargin;
            look = nullptr;
        };
        for (qsizetype k = 0; k < m_lines.size(); ++k) {
            const Line& line = m_lines.at(k);
            const double height = line.points * kLineSpacing;
            if (top - height < kMargin && !content.isEmpty())
                finishPage();
            if (content.isEmpty())
                content = "BT\n";
            content += "1 0 0 1 " + number(kMargin) + ' ' + number(top - line.points * kAscent) + " Tm\n";
            for (const Piece& piece : line.pieces) {
                if (piece.to == piece.from)
                    continue;
                if (!look || look->bold != piece.look->bold || look->pointSize != piece.look->pointSize)
                    content += (piece.look->bold ? "/F2 " : "/F1 ") + number(piece.look->pointSize) + " Tf\n";
                if (!look || look->rgb != piece.look->rgb)
                    content += colour(piece.look->rgb);
                look = piece.look;
                content += '(';
                // Copied in stretches between the characters a PDF string must escape.
                const QByteArrayView text = QByteArrayView(*piece.bytes).sliced(piece.from, piece.to - piece.from);
                qsizetype start = 0;
                for (qsizetype k = 0; k < text.size(); ++k) {
                    if (text[k] == '(' || text[k] == ')' || text[k] == '\\') {
                        content.append(text.sliced(start, k - start)).append('\\');
                        start = k;
                    }
                }
                content.append(text.sliced(start)).append(") Tj\n");
            }
            top -= height;
        }
        if (!content.isEmpty() || pages.isEmpty()) {
            if (content.isEmpty())
                content = "BT\n";
            finishPage();
        }
        return pages;
    }

    std::array<std::array<double, 256>, 2> m_widths;
    std::deque<QByteArray> m_encoded; // every run's bytes, where the lines point; a deque never moves them
    QList<Line> m_lines;
};

} // namespace

bool canRender(const QList<BriefingDocument::Paragraph>& paragraphs)
{
    for (const BriefingDocument::Paragraph& paragraph : paragraphs) {
        for (const TextRun& run : paragraph) {
            for (const QChar c : run.text) {
                if (encode(c.unicode()) == 0)
                    return false;
            }
        }
    }
    return true;
}

Pdf render(const QList<BriefingDocument::Paragraph>& paragraphs, const QString& title, const QString& creator)
{
    Writer writer;
    for (const BriefingDocument::Paragraph& paragraph : paragraphs)
        writer.layOut(paragraph);
    return writer.write(title, creator);
}

} // namespace BriefingPdf
