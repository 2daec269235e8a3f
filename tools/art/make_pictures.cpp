// Draws every picture the program loads from its images folder, all as vector art in one style:
//   logo.jpg               banner across the top of the main window (1013 x 81)
//   MB__*.png              the six navigation pictures (70 x 70)
//   app.ico, app.png       window icon (16, 32, 48, 256 px) and the desktop entry's picture
//   yes.png, wrong.png     right/wrong pictures of the result dialog (137 x 125)
//   exam_banner.png        header of the mock-exam window (1167 x 105): candidate block, title,
//                          remaining-time box with clock, the 交卷 button
//   exam_photo.png         the candidate photo of that header (92 x 106)
//   exam_fourth.png        face of the fourth section's header button (213 x 34)
//   exam_*.png icons       bottom-bar buttons of the mock-exam window (20 x 20)
//
// Usage: kjks-make-pictures OUTDIR [--sheet FILE]      (QT_QPA_PLATFORM=offscreen needs no display)
// --sheet also writes all pictures on one canvas, laid out roughly as the program shows them.
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cstdio>

namespace {

// One blue family for banner, navigation tiles and icon; gold only as the coin accent.
const QColor BlueLight(0x5C, 0xAB, 0xF2);
const QColor BlueMid(0x2A, 0x7A, 0xD5);
const QColor BlueDark(0x17, 0x57, 0xAD);
const QColor BlueDeep(0x0B, 0x3C, 0x80);
const QColor Gold(0xF3, 0xC9, 0x5B);
const QColor GoldDark(0xC2, 0x8A, 0x1E);
const QColor White(0xFF, 0xFF, 0xFF);

QString fontFamily() {
    return QStringLiteral("Noto Sans CJK SC");
}

QFont cjkFont(int pixelSize, bool bold) {
    QFont font(fontFamily());
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Pictures are drawn in the program's pixels; at scale 2 the same drawing fills twice the pixels,
// for screens at 200 % (the files named "@2x").
qreal g_scale = 1;

QImage canvas(int width, int height, QImage::Format format) {
    QImage image(qRound(width * g_scale), qRound(height * g_scale), format);
    image.setDevicePixelRatio(g_scale);
    return image;
}

QImage transparentImage(int width, int height) {
    QImage image = canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void smooth(QPainter &p) {
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

// Text as a path, centred on its ink rather than on the font's line box: CJK line boxes are
// not symmetric around the glyphs, so AlignCenter would leave single characters low.
QPainterPath textPath(const QString &text, const QFont &font, QPointF inkCentre) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    path.translate(inkCentre - ink.center());
    return path;
}

QColor withAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

// ---------------------------------------------------------------- window icon

// The program's mark: a blue tile with a bold white "会" and, where there is room, a gold coin
// with a square hole. Drawn anew for each size so that small icons stay crisp.
void paintAppIcon(QPainter &p, const QRectF &r) {
    const qreal s = r.width();
    const qreal radius = s * (s <= 16 ? 0.18 : 0.22);
    QLinearGradient tile(r.topLeft(), r.bottomLeft());
    tile.setColorAt(0, BlueLight);
    tile.setColorAt(1, BlueDark);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(r, radius, radius);

    const bool withCoin = s >= 40;
    const QPointF glyphCentre = withCoin ? r.topLeft() + QPointF(s * 0.45, s * 0.44) : r.center();
    const int glyphSize = qRound(s * (withCoin ? 0.62 : (s <= 16 ? 0.86 : 0.78)));
    const QString mark = QStringLiteral("会");
    QFont font = cjkFont(glyphSize, true);
    if (s <= 32) {
        // Small sizes: hinted text on whole pixels reads sharper than an outline path.
        font.setHintingPreference(QFont::PreferFullHinting);
        QPainterPath ink;
        ink.addText(0, 0, font, mark);
        const QPointF baseline = glyphCentre - ink.boundingRect().center();
        p.setFont(font);
        p.setPen(White);
        p.drawText(QPointF(qRound(baseline.x()), qRound(baseline.y())), mark);
        p.setPen(Qt::NoPen);
    } else {
        p.setBrush(White);
        p.drawPath(textPath(mark, font, glyphCentre));
    }

    if (withCoin) {
        const QPointF c = r.topLeft() + QPointF(s * 0.77, s * 0.77);
        const qreal cr = s * 0.17;
        p.setBrush(BlueDark); // a ring of tile colour keeps the coin apart from the glyph
        p.drawEllipse(c, cr + s * 0.035, cr + s * 0.035);
        QRadialGradient coin(c - QPointF(cr * 0.4, cr * 0.4), cr * 1.6);
        coin.setColorAt(0, QColor(0xFF, 0xE4, 0x8E));
        coin.setColorAt(1, Gold);
        p.setBrush(coin);
        p.setPen(QPen(GoldDark, qMax(1.0, s * 0.018)));
        p.drawEllipse(c, cr, cr);
        p.setPen(Qt::NoPen);
        p.setBrush(BlueDark);
        const qreal hole = cr * 0.42;
        p.drawRect(QRectF(c.x() - hole, c.y() - hole, 2 * hole, 2 * hole));
    }
}

QImage appIcon(int size) {
    QImage image = transparentImage(size, size);
    QPainter p(&image);
    smooth(p);
    const qreal margin = size <= 16 ? 0 : size / 32.0;
    paintAppIcon(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
    return image;
}

// ICO container with PNG entries; Qt's own ICO writer stores only one image per file.
QByteArray icoFile(const QList<QImage> &images) {
    auto put16 = [](QByteArray &out, quint16 v) {
        out.append(char(v & 0xFF));
        out.append(char(v >> 8));
    };
    auto put32 = [&put16](QByteArray &out, quint32 v) {
        put16(out, quint16(v & 0xFFFF));
        put16(out, quint16(v >> 16));
    };

    QList<QByteArray> pngs;
    for (const QImage &image : images) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
        pngs.append(png);
    }

    QByteArray out;
    put16(out, 0); // reserved
    put16(out, 1); // type: icon
    put16(out, quint16(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const int w = images[i].width();
        const int h = images[i].height();
        out.append(char(w >= 256 ? 0 : w)); // 0 stands for 256
        out.append(char(h >= 256 ? 0 : h));
        out.append(char(0)); // no palette
        out.append(char(0)); // reserved
        put16(out, 1);       // colour planes
        put16(out, 32);      // bits per pixel
        put32(out, quint32(pngs[i].size()));
        put32(out, offset);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray &png : pngs)
        out.append(png);
    return out;
}

// ---------------------------------------------------------------- banner

// A bead of the abacus: a flattened hexagon, as beads look from the front.
void paintBead(QPainter &p, QPointF c, qreal w, qreal h) {
    QPainterPath bead;
    bead.moveTo(c.x() - w / 2, c.y());
    bead.lineTo(c.x() - w / 4, c.y() - h / 2);
    bead.lineTo(c.x() + w / 4, c.y() - h / 2);
    bead.lineTo(c.x() + w / 2, c.y());
    bead.lineTo(c.x() + w / 4, c.y() + h / 2);
    bead.lineTo(c.x() - w / 4, c.y() + h / 2);
    bead.closeSubpath();
    p.drawPath(bead);
}

void paintAbacus(QPainter &p, const QRectF &frame) {
    const int rods = 7;
    const qreal beam = frame.top() + frame.height() * 0.36;
    const qreal beadW = frame.width() / (rods + 1) * 0.92;
    const qreal beadH = 6;
    // Upper deck: 1 = bead down on the beam. Lower deck: beads pushed up to the beam.
    const int upper[rods] = {0, 1, 0, 0, 1, 0, 1};
    const int lower[rods] = {2, 0, 4, 1, 3, 0, 2};

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(White, 60), 1.4));
    for (int i = 0; i < rods; ++i) {
        const qreal x = frame.left() + frame.width() * (i + 1) / (rods + 1);
        p.drawLine(QPointF(x, frame.top()), QPointF(x, frame.bottom()));
    }
    p.setPen(QPen(withAlpha(White, 150), 3));
    p.drawRoundedRect(frame, 4, 4);
    p.drawLine(QPointF(frame.left(), beam), QPointF(frame.right(), beam));

    p.setPen(QPen(withAlpha(BlueDeep, 120), 0.8));
    const qreal inner = 1.5 + 1; // frame half-width plus a gap
    for (int i = 0; i < rods; ++i) {
        const qreal x = frame.left() + frame.width() * (i + 1) / (rods + 1);
        p.setBrush(withAlpha(QColor(0xE8, 0xF2, 0xFF), 185));
        const qreal upperY = upper[i] ? beam - inner - beadH / 2 - 0.5 : frame.top() + inner + beadH / 2;
        paintBead(p, QPointF(x, upperY), beadW, beadH);
        for (int b = 0; b < 4; ++b) {
            const bool up = b < lower[i];
            const qreal y =
                up ? beam + inner + beadH / 2 + b * beadH : frame.bottom() - inner - beadH / 2 - (3 - b) * beadH;
            paintBead(p, QPointF(x, y), beadW, beadH);
        }
    }
}

void paintCoinStack(QPainter &p, QPointF base, qreal width, int count) {
    const qreal h = width * 0.32;
    const qreal step = width * 0.15;
    for (int i = 0; i < count; ++i) {
        const QPointF c(base.x(), base.y() - i * step);
        // edge of the coin
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(GoldDark, 230));
        p.drawRect(QRectF(c.x() - width / 2, c.y() - step, width, step));
        p.drawEllipse(QRectF(c.x() - width / 2, c.y() - h / 2, width, h));
        // face
        QLinearGradient face(c.x() - width / 2, 0, c.x() + width / 2, 0);
        face.setColorAt(0, QColor(0xFF, 0xE2, 0x8A));
        face.setColorAt(1, Gold);
        p.setBrush(face);
        p.setPen(QPen(withAlpha(GoldDark, 255), 0.8));
        p.drawEllipse(QRectF(c.x() - width / 2, c.y() - step - h / 2, width, h));
    }
}

// A round coin with a square hole, standing upright.
void paintOldCoin(QPainter &p, QPointF c, qreal r) {
    QRadialGradient face(c - QPointF(r * 0.4, r * 0.4), r * 1.6);
    face.setColorAt(0, QColor(0xFF, 0xE6, 0x96));
    face.setColorAt(1, Gold);
    p.setBrush(face);
    p.setPen(QPen(GoldDark, 1.2));
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(GoldDark, 200), 1));
    p.drawEllipse(c, r * 0.82, r * 0.82);
    p.setBrush(QColor(0x22, 0x6C, 0xC4));
    p.setPen(QPen(GoldDark, 1));
    const qreal hole = r * 0.3;
    p.drawRect(QRectF(c.x() - hole, c.y() - hole, 2 * hole, 2 * hole));
}

QImage banner() {
    const int W = 1013;
    const int H = 81;
    QImage image = canvas(W, H, QImage::Format_RGB32);
    QPainter p(&image);
    smooth(p);

    QLinearGradient sky(0, 0, W, 0);
    sky.setColorAt(0, BlueDeep);
    sky.setColorAt(0.5, QColor(0x16, 0x5C, 0xB5));
    sky.setColorAt(1, QColor(0x38, 0x90, 0xDC));
    p.fillRect(image.rect(), sky);
    QLinearGradient light(0, 0, 0, H);
    light.setColorAt(0, QColor(255, 255, 255, 34));
    light.setColorAt(0.55, QColor(255, 255, 255, 0));
    light.setColorAt(1, QColor(0, 0, 0, 36));
    p.fillRect(image.rect(), light);

    // Ledger ruling behind the motifs, fading in away from the title.
    const qreal ruleFrom = 470;
    QLinearGradient fade(ruleFrom, 0, W, 0);
    fade.setColorAt(0, QColor(255, 255, 255, 0));
    fade.setColorAt(0.25, QColor(255, 255, 255, 30));
    fade.setColorAt(1, QColor(255, 255, 255, 36));
    p.setPen(QPen(QBrush(fade), 1));
    for (int y = 10; y < H; y += 10)
        p.drawLine(QPointF(ruleFrom, y + 0.5), QPointF(W, y + 0.5));
    p.setPen(QPen(QColor(0xFF, 0xB4, 0xB4, 60), 1)); // the ledger's red double margin
    p.drawLine(QPointF(628.5, 0), QPointF(628.5, H));
    p.drawLine(QPointF(632.5, 0), QPointF(632.5, H));

    // Faint large rings for depth.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 16), 18));
    p.drawEllipse(QPointF(560, 96), 70, 70);
    p.setPen(QPen(QColor(255, 255, 255, 12), 10));
    p.drawEllipse(QPointF(980, -10), 60, 60);

    // A small rising chart across the ruling.
    const QList<QPointF> chart = {{652, 62}, {676, 54}, {700, 58}, {724, 44}, {748, 47}, {772, 33}};
    QPainterPath area;
    area.moveTo(chart.first().x(), 72);
    for (const QPointF &pt : chart)
        area.lineTo(pt);
    area.lineTo(chart.last().x(), 72);
    area.closeSubpath();
    QLinearGradient areaFill(0, 30, 0, 72);
    areaFill.setColorAt(0, QColor(255, 255, 255, 60));
    areaFill.setColorAt(1, QColor(255, 255, 255, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(areaFill);
    p.drawPath(area);
    QPainterPath line;
    line.moveTo(chart.first());
    for (const QPointF &pt : chart)
        line.lineTo(pt);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(White, 150), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(line);
    p.setBrush(White);
    p.setPen(Qt::NoPen);
    for (const QPointF &pt : chart)
        p.drawEllipse(pt, 2.2, 2.2);

    paintCoinStack(p, QPointF(802, 68), 34, 4);
    paintCoinStack(p, QPointF(840, 71), 28, 2);
    paintOldCoin(p, QPointF(842, 40), 12);
    paintAbacus(p, QRectF(876, 8, 118, 65));

    // The program's mark and name.
    const QRectF mark(20, 12, 57, 57);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(mark.translated(1.5, 2), 13, 13);
    paintAppIcon(p, mark);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1.2));
    p.drawRoundedRect(mark.adjusted(0.6, 0.6, -0.6, -0.6), 12.5, 12.5);

    const QFont titleFont = cjkFont(30, true);
    QPainterPath title;
    title.addText(92, 43, titleFont, QStringLiteral("初级会计实务"));
    const qreal secondStart = title.boundingRect().right() + 16;
    title.addText(secondStart, 43, titleFont, QStringLiteral("考试练习系统"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(4, 30, 70, 110));
    p.drawPath(title.translated(1.2, 1.8));
    p.setBrush(White);
    p.drawPath(title);

    p.setFont(cjkFont(14, false));
    p.setPen(QColor(0xD2, 0xE6, 0xFF));
    p.drawText(QPointF(94, 66), QStringLiteral("章节练习  ·  全真模考  ·  错题强化  ·  重点收藏"));

    // A thin light edge where the banner meets the navigation bar.
    p.fillRect(QRectF(0, H - 2, W, 2), QColor(0x8C, 0xC6, 0xFF));
    return image;
}

// ---------------------------------------------------------------- navigation pictures

// Glyphs are drawn white on the blue tile in a 100 x 100 design box; details on white are
// drawn in the tile's dark blue.
using Glyph = void (*)(QPainter &);

QPen whiteStroke(qreal width) {
    return QPen(White, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen inkStroke(qreal width) {
    return QPen(BlueDark, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void glyphHome(QPainter &p) {
    p.setPen(Qt::NoPen);
    p.setBrush(White);
    p.drawRect(QRectF(62, 22, 9, 18)); // chimney
    QPainterPath body;
    body.addRoundedRect(QRectF(28, 47, 44, 34), 3, 3);
    QPainterPath door;
    door.addRoundedRect(QRectF(43.5, 59, 13, 22.5), 2.5, 2.5);
    p.drawPath(body.subtracted(door));
    p.setBrush(Qt::NoBrush);
    p.setPen(whiteStroke(8));
    p.drawPolyline(QList<QPointF>{{17, 53}, {50, 23}, {83, 53}});
}

void glyphOutline(QPainter &p) {
    QPainterPath sheet;
    sheet.moveTo(26, 16);
    sheet.lineTo(60, 16);
    sheet.lineTo(76, 32);
    sheet.lineTo(76, 84);
    sheet.lineTo(26, 84);
    sheet.closeSubpath();
    p.setPen(whiteStroke(3));
    p.setBrush(White);
    p.drawPath(sheet);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(BlueMid, 130)); // the folded corner
    QPainterPath fold;
    fold.moveTo(60, 16);
    fold.lineTo(60, 32);
    fold.lineTo(76, 32);
    fold.closeSubpath();
    p.drawPath(fold);

    p.setPen(inkStroke(5));
    p.drawLine(QPointF(35, 30), QPointF(52, 30)); // heading
    p.setBrush(BlueDark);
    for (int i = 0; i < 3; ++i) {
        const qreal y = 46 + i * 13;
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(37, y), 3.3, 3.3);
        p.setPen(inkStroke(4));
        p.drawLine(QPointF(45, y), QPointF(i == 2 ? 58 : 67, y));
    }
}

void glyphBook(QPainter &p) {
    QPainterPath left;
    left.moveTo(48, 30);
    left.cubicTo(38, 22, 24, 21, 12, 25);
    left.lineTo(12, 76);
    left.cubicTo(24, 72, 38, 73, 48, 81);
    left.closeSubpath();
    QTransform mirror;
    mirror.translate(100, 0);
    mirror.scale(-1, 1);
    const QPainterPath right = mirror.map(left);
    p.setPen(whiteStroke(3));
    p.setBrush(White);
    p.drawPath(left);
    p.drawPath(right);

    p.setPen(QPen(withAlpha(BlueMid, 170), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        const qreal y = 38 + i * 10;
        QPainterPath l;
        l.moveTo(20, y - 2);
        l.quadTo(31, y - 4, 41, y + 1);
        p.drawPath(l);
        p.drawPath(mirror.map(l));
    }
}

void glyphExam(QPainter &p) {
    // Notepad with binding rings and ruled lines.
    p.setPen(Qt::NoPen);
    p.setBrush(White);
    p.drawRoundedRect(QRectF(18, 20, 48, 62), 5, 5);
    p.setPen(inkStroke(3.5));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(27, 38 + i * 10), QPointF(i == 3 ? 44 : 57, 38 + i * 10));
    for (int i = 0; i < 3; ++i) {
        const qreal x = 29 + i * 13;
        p.setPen(QPen(BlueDark, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(x, 16), QPointF(x, 25));
    }

    // A clock over the corner: the exam runs against time.
    const QPointF c(66, 66);
    p.setPen(Qt::NoPen);
    p.setBrush(BlueDark); // ring of tile colour keeps the clock apart from the pad
    p.drawEllipse(c, 23, 23);
    p.setBrush(White);
    p.drawEllipse(c, 18.5, 18.5);
    p.setPen(inkStroke(4));
    p.drawLine(c, c + QPointF(0, -11));
    p.drawLine(c, c + QPointF(8, 4));
    p.setPen(Qt::NoPen);
    p.setBrush(BlueDark);
    p.drawEllipse(c, 3, 3);
}

void glyphRetry(QPainter &p) {
    // An arrow going round a cross: wrong answers, done again.
    const QRectF ring(18, 18, 64, 64);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(White, 8, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(ring, 100 * 16, 280 * 16); // leaves a gap at the top for the arrow head

    // Arrow head where the arc ends; Qt arcs run counter-clockwise, so it points into the gap.
    const qreal endAngle = qDegreesToRadians(100.0 + 280.0);
    const QPointF centre = ring.center();
    const qreal r = ring.width() / 2;
    const QPointF tip = centre + QPointF(r * qCos(endAngle), -r * qSin(endAngle));
    const QPointF along(-qSin(endAngle), -qCos(endAngle)); // direction of travel, screen axes
    const QPointF across(qCos(endAngle), -qSin(endAngle));
    QPainterPath head;
    head.moveTo(tip + along * 13);
    head.lineTo(tip - along * 2 + across * 12);
    head.lineTo(tip - along * 2 - across * 12);
    head.closeSubpath();
    p.setPen(whiteStroke(2));
    p.setBrush(White);
    p.drawPath(head);

    p.setPen(whiteStroke(8));
    p.drawLine(QPointF(40, 40), QPointF(60, 60));
    p.drawLine(QPointF(60, 40), QPointF(40, 60));
}

void glyphStar(QPainter &p) {
    QPainterPath star;
    const QPointF c(50, 53);
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2 == 0) ? 36 : 15;
        const qreal a = qDegreesToRadians(-90.0 + i * 36.0);
        const QPointF pt = c + QPointF(r * qCos(a), r * qSin(a));
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(White, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(White);
    p.drawPath(star);
}

QImage navPicture(Glyph glyph) {
    const int size = 70;
    QImage image = transparentImage(size, size);
    QPainter p(&image);
    smooth(p);
    const QRectF tile(4, 3, 62, 62);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(10, 40, 90, 28));
    p.drawRoundedRect(tile.adjusted(-1, 1, 1, 3), 15, 15);
    p.setBrush(QColor(10, 40, 90, 40));
    p.drawRoundedRect(tile.translated(0, 1.5), 14, 14);
    QLinearGradient face(tile.topLeft(), tile.bottomLeft());
    face.setColorAt(0, BlueLight);
    face.setColorAt(1, BlueDark);
    p.setBrush(face);
    p.drawRoundedRect(tile, 14, 14);

    p.translate(tile.topLeft());
    p.scale(tile.width() / 100.0, tile.height() / 100.0);
    glyph(p);
    return image;
}

// ---------------------------------------------------------------- result pictures

QImage resultPicture(bool right) {
    QImage image = transparentImage(137, 125);
    QPainter p(&image);
    smooth(p);
    const QColor light = right ? QColor(0x5C, 0xD0, 0x7A) : QColor(0xF4, 0x6E, 0x64);
    const QColor dark = right ? QColor(0x1F, 0x9A, 0x48) : QColor(0xD0, 0x32, 0x2E);
    const QColor textColour = right ? QColor(0x1B, 0x85, 0x3E) : QColor(0xC4, 0x2A, 0x26);

    const QPointF c(68.5, 46);
    const qreal r = 40;
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(light, 60)); // soft halo
    p.drawEllipse(c, r + 5, r + 5);
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawEllipse(c + QPointF(0, 2), r, r);
    QLinearGradient disc(c.x(), c.y() - r, c.x(), c.y() + r);
    disc.setColorAt(0, light);
    disc.setColorAt(1, dark);
    p.setBrush(disc);
    p.drawEllipse(c, r, r);

    p.setPen(QPen(White, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    if (right) {
        p.drawPolyline(QList<QPointF>{c + QPointF(-19, 1), c + QPointF(-5, 15), c + QPointF(20, -13)});
    } else {
        const qreal k = 15;
        p.drawLine(c + QPointF(-k, -k), c + QPointF(k, k));
        p.drawLine(c + QPointF(k, -k), c + QPointF(-k, k));
    }

    p.setPen(Qt::NoPen);
    p.setBrush(textColour);
    p.drawPath(textPath(right ? QStringLiteral("回答正确") : QStringLiteral("回答错误"), cjkFont(20, true),
                        QPointF(68.5, 110)));
    return image;
}

// ---------------------------------------------------------------- mock-exam window

const QColor ExamSky(109, 176, 231);

// The header of the mock-exam window. The window lays the remaining-time label over the time box
// at (976, 34) and a transparent hand-in area over the 交卷 button at (998, 64), so both stay where
// they are drawn here.
QImage examBanner() {
    const int W = 1167;
    const int H = 105;
    QImage image = canvas(W, H, QImage::Format_RGB32);
    image.fill(ExamSky);
    QPainter p(&image);
    smooth(p);
    QLinearGradient sky(0, 0, 0, H);
    sky.setColorAt(0, QColor(0x8C, 0xC6, 0xF2));
    sky.setColorAt(1, ExamSky);
    p.fillRect(image.rect(), sky);

    // Candidate block beside the photo.
    const QRectF block(100, 12, 250, 80);
    p.setPen(QPen(QColor(255, 255, 255, 160), 1));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRoundedRect(block, 6, 6);
    p.setPen(QColor(0x0B, 0x3C, 0x80));
    p.setFont(cjkFont(14, false));
    const QStringList lines = {QStringLiteral("准考证号：2026 0000 0001"), QStringLiteral("考生姓名：模拟考生"),
                               QStringLiteral("考试类型：无纸化模拟考试")};
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(QRectF(block.left() + 12, block.top() + 6 + 24 * i, block.width() - 20, 22),
                   Qt::AlignLeft | Qt::AlignVCenter, lines[i]);

    // Title.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 40, 90, 60));
    const QString title = QStringLiteral("全国会计专业技术资格无纸化考试");
    p.drawPath(textPath(title, cjkFont(30, true), QPointF(642, 42)));
    p.setBrush(White);
    p.drawPath(textPath(title, cjkFont(30, true), QPointF(640, 40)));
    p.setBrush(BlueDeep);
    p.drawPath(textPath(QStringLiteral("初级会计职称 · 模拟考场"), cjkFont(16, false), QPointF(640, 78)));

    // Remaining-time box: clock on the left, the label's place (976..1073, 34..50) kept clear.
    p.setPen(White);
    p.setFont(cjkFont(13, true));
    p.drawText(QRectF(930, 4, 160, 18), Qt::AlignCenter, QStringLiteral("剩余时间"));
    const QRectF box(930, 24, 160, 36);
    p.setPen(QPen(BlueDark, 1.5));
    p.setBrush(White);
    p.drawRoundedRect(box, 6, 6);
    const QPointF c(952, 42);
    p.setPen(QPen(BlueDark, 2));
    p.setBrush(QColor(0xE8, 0xF3, 0xFF));
    p.drawEllipse(c, 11, 11);
    p.setPen(QPen(BlueDeep, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -7));
    p.drawLine(c, c + QPointF(5, 3));

    // The hand-in button.
    const QRectF button(1001, 67, 83, 31);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(button.translated(0, 2), 6, 6);
    QLinearGradient face(button.topLeft(), button.bottomLeft());
    face.setColorAt(0, QColor(0xFF, 0xA0, 0x4A));
    face.setColorAt(1, QColor(0xD9, 0x5B, 0x12));
    p.setBrush(face);
    p.setPen(QPen(QColor(0xB0, 0x45, 0x0A), 1));
    p.drawRoundedRect(button, 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(White);
    p.drawPath(textPath(QStringLiteral("交 卷"), cjkFont(17, true), button.center()));
    return image;
}

QImage examPhoto() {
    QImage image = canvas(92, 106, QImage::Format_RGB32);
    QPainter p(&image);
    smooth(p);
    QLinearGradient back(0, 0, 0, 106);
    back.setColorAt(0, QColor(0xDD, 0xEC, 0xFA));
    back.setColorAt(1, QColor(0xB5, 0xD3, 0xF0));
    p.fillRect(image.rect(), back);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4E, 0x7F, 0xB8));
    p.drawEllipse(QPointF(46, 40), 19, 21);
    QPainterPath shoulders;
    shoulders.moveTo(8, 106);
    shoulders.cubicTo(10, 72, 30, 66, 46, 66);
    shoulders.cubicTo(62, 66, 82, 72, 84, 106);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    p.setPen(QPen(QColor(0x2A, 0x5E, 0x9E), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 90, 104));
    return image;
}

// The fourth section's header: a raised caption button; the window writes the section's name on it.
QImage examFourthHeader() {
    QImage image = canvas(213, 34, QImage::Format_RGB32);
    QPainter p(&image);
    smooth(p);
    QLinearGradient face(0, 0, 0, 34);
    face.setColorAt(0, QColor(0xF4, 0xF9, 0xFF));
    face.setColorAt(0.5, QColor(0xC9, 0xE1, 0xF8));
    face.setColorAt(1, QColor(0x9C, 0xC6, 0xEE));
    p.fillRect(image.rect(), face);
    p.setPen(QPen(QColor(0x5A, 0x8F, 0xC8), 1));
    p.drawRect(QRectF(0.5, 0.5, 212, 33));
    p.setPen(QPen(White, 1));
    p.drawLine(QPointF(1.5, 1.5), QPointF(211.5, 1.5));
    // A small pointer at the right end says the header can be clicked.
    p.setPen(Qt::NoPen);
    p.setBrush(BlueDark);
    p.drawPolygon(QPolygonF({QPointF(192, 11), QPointF(202, 17), QPointF(192, 23)}));
    return image;
}

QImage examIcon(const char *kind) {
    QImage image = transparentImage(20, 20);
    QPainter p(&image);
    smooth(p);
    const QByteArray k(kind);
    p.setPen(Qt::NoPen);
    p.setBrush(BlueMid);
    if (k == "prev" || k == "next") {
        p.drawEllipse(QRectF(1, 1, 18, 18));
        p.setBrush(White);
        const qreal d = k == "prev" ? -1 : 1;
        p.drawPolygon(QPolygonF({QPointF(10 + 4 * d, 10), QPointF(10 - 3 * d, 5), QPointF(10 - 3 * d, 15)}));
    } else if (k == "explain") {
        p.setBrush(White);
        p.setPen(QPen(BlueDark, 1.2));
        p.drawRoundedRect(QRectF(3.5, 1.5, 13, 17), 2, 2);
        p.setPen(QPen(BlueMid, 1.4));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(6, 6 + 3 * i), QPointF(14, 6 + 3 * i));
    } else if (k == "calc") {
        p.setBrush(QColor(0x4A, 0x55, 0x66));
        p.drawRoundedRect(QRectF(3, 1, 14, 18), 2, 2);
        p.setBrush(QColor(0xC8, 0xF0, 0xC8));
        p.drawRect(QRectF(5, 3, 10, 4));
        p.setBrush(White);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawRect(QRectF(5 + 3.6 * c, 9 + 3.3 * r, 2.6, 2.3));
    } else if (k == "video") {
        p.setBrush(QColor(0xD9, 0x5B, 0x12));
        p.drawRoundedRect(QRectF(1, 3, 18, 14), 3, 3);
        p.setBrush(White);
        p.drawPolygon(QPolygonF({QPointF(8, 6.5), QPointF(14, 10), QPointF(8, 13.5)}));
    }
    return image;
}

// ---------------------------------------------------------------- contact sheet

QImage contactSheet(const QImage &logo, const QList<QImage> &nav, const QStringList &captions, const QImage &yes,
                    const QImage &wrong, const QList<QImage> &icons) {
    const int W = 1053;
    QImage sheet(W, 590, QImage::Format_RGB32);
    sheet.fill(QColor(0xE4, 0xE7, 0xEB));
    QPainter p(&sheet);
    smooth(p);
    const int left = 20;

    // Main window top: banner, navigation bar (second entry current), subject bar.
    p.drawImage(left, 20, logo);
    p.fillRect(left, 101, 1013, 96, QColor(0xF4, 0xF7, 0xFB));
    for (int i = 0; i < nav.size(); ++i) {
        const int x = left + 40 + i * 110;
        p.drawImage(x, 104, nav[i]);
        p.setFont(cjkFont(17, false));
        p.setPen(i == 1 ? QColor(0xE0, 0x10, 0x10) : QColor(0, 0, 0));
        p.drawText(QRectF(x - 20, 174, 110, 22), Qt::AlignCenter, captions[i]);
    }
    p.fillRect(left, 197, 1013, 57, QColor(0xD6, 0xE9, 0xFA));
    p.drawImage(left + 14, 209, appIcon(32));
    p.setFont(cjkFont(21, true));
    p.setPen(QColor(0x10, 0x30, 0x60));
    p.drawText(QPointF(left + 56, 233), QStringLiteral("初级会计实务"));

    // Result pictures on the dialog's grey and on white.
    const int rowY = 280;
    p.fillRect(left, rowY, 330, 145, QColor(0xF0, 0xF0, 0xF0));
    p.drawImage(left + 20, rowY + 10, yes);
    p.drawImage(left + 175, rowY + 10, wrong);
    p.fillRect(left + 345, rowY, 330, 145, Qt::white);
    p.drawImage(left + 365, rowY + 10, yes);
    p.drawImage(left + 520, rowY + 10, wrong);

    // Window icon sizes, on light and dark backgrounds.
    int x = left + 700;
    p.fillRect(x - 10, rowY, 333, 72, Qt::white);
    p.fillRect(x - 10, rowY + 73, 333, 72, QColor(0x2B, 0x2B, 0x2B));
    for (const QImage &icon : icons) {
        if (icon.width() > 48) continue;
        p.drawImage(x, rowY + 12, icon);
        p.drawImage(x, rowY + 85, icon);
        x += icon.width() + 20;
    }
    // Navigation pictures at one and a half times their size, and the large icon, to judge
    // the drawing.
    for (int i = 0; i < nav.size(); ++i)
        p.drawImage(QRectF(left + i * 112, rowY + 175, 105, 105), nav[i]);
    p.drawImage(QRectF(left + 700, rowY + 160, 128, 128), icons.last());
    return sheet;
}

bool writeImage(const QImage &image, const QString &path, const char *format, int quality = -1) {
    QImageWriter writer(path, format);
    if (quality >= 0) writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QStringLiteral("--sheet"))) {
        std::fprintf(stderr, "usage: kjks-make-pictures OUTDIR [--sheet FILE]\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(out.path()));
        return 1;
    }
    if (!QFontInfo(cjkFont(12, true)).family().startsWith(fontFamily()))
        std::fprintf(stderr, "warning: font \"%s\" not found, texts fall back to another font\n",
                     qPrintable(fontFamily()));

    bool ok = true;
    const QImage logo = banner();
    ok &= writeImage(logo, out.filePath(QStringLiteral("logo.jpg")), "jpg", 92);

    const QStringList navFiles = {QStringLiteral("MB__home.png"),    QStringLiteral("MB__poi.png"),
                                  QStringLiteral("MB__book.png"),    QStringLiteral("MB__note.png"),
                                  QStringLiteral("MB__loading.png"), QStringLiteral("MB__search.png")};
    const QStringList captions = {QStringLiteral("我的首页"), QStringLiteral("考试大纲"), QStringLiteral("章节练习"),
                                  QStringLiteral("模拟考场"), QStringLiteral("错题强化"), QStringLiteral("重点收藏")};
    const Glyph glyphs[] = {glyphHome, glyphOutline, glyphBook, glyphExam, glyphRetry, glyphStar};
    QList<QImage> nav;
    for (int i = 0; i < navFiles.size(); ++i) {
        nav.append(navPicture(glyphs[i]));
        ok &= writeImage(nav.last(), out.filePath(navFiles[i]), "png");
    }

    QList<QImage> icons;
    for (int size : {16, 32, 48, 256})
        icons.append(appIcon(size));
    QFile ico(out.filePath(QStringLiteral("app.ico")));
    if (ico.open(QIODevice::WriteOnly)) {
        ok &= ico.write(icoFile(icons)) > 0;
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(ico.fileName()));
        ok = false;
    }
    ok &= writeImage(icons.last(), out.filePath(QStringLiteral("app.png")), "png");

    const QImage yes = resultPicture(true);
    const QImage wrong = resultPicture(false);
    ok &= writeImage(yes, out.filePath(QStringLiteral("yes.png")), "png");
    ok &= writeImage(wrong, out.filePath(QStringLiteral("wrong.png")), "png");

    ok &= writeImage(examBanner(), out.filePath(QStringLiteral("exam_banner.png")), "png");
    ok &= writeImage(examPhoto(), out.filePath(QStringLiteral("exam_photo.png")), "png");
    ok &= writeImage(examFourthHeader(), out.filePath(QStringLiteral("exam_fourth.png")), "png");
    for (const char *icon : {"prev", "next", "explain", "calc", "video"})
        ok &= writeImage(examIcon(icon), out.filePath(QStringLiteral("exam_%1.png").arg(QLatin1String(icon))), "png");

    if (args.size() == 4) ok &= writeImage(contactSheet(logo, nav, captions, yes, wrong, icons), args[3], "png");

    // The same pictures at twice the pixels, which the program picks on a 200 % screen.
    g_scale = 2;
    auto at2x = [&](const QString &file) {
        const int dot = file.lastIndexOf(QLatin1Char('.'));
        return out.filePath(file.left(dot) + QStringLiteral("@2x") + file.mid(dot));
    };
    ok &= writeImage(banner(), at2x(QStringLiteral("logo.jpg")), "jpg", 92);
    for (int i = 0; i < navFiles.size(); ++i)
        ok &= writeImage(navPicture(glyphs[i]), at2x(navFiles[i]), "png");
    ok &= writeImage(appIcon(256), at2x(QStringLiteral("app.png")), "png");
    ok &= writeImage(resultPicture(true), at2x(QStringLiteral("yes.png")), "png");
    ok &= writeImage(resultPicture(false), at2x(QStringLiteral("wrong.png")), "png");
    ok &= writeImage(examBanner(), at2x(QStringLiteral("exam_banner.png")), "png");
    ok &= writeImage(examPhoto(), at2x(QStringLiteral("exam_photo.png")), "png");
    ok &= writeImage(examFourthHeader(), at2x(QStringLiteral("exam_fourth.png")), "png");
    for (const char *icon : {"prev", "next", "explain", "calc", "video"})
        ok &= writeImage(examIcon(icon), at2x(QStringLiteral("exam_%1.png").arg(QLatin1String(icon))), "png");
    return ok ? 0 : 1;
}
