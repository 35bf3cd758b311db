#include "controls/ColorButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QColor kFace(40, 90, 160);
const QColor kCaption(255, 255, 0);
const QSize kSize(120, 32);

// Colours compared as the 8-bit values an image holds.
QRgb pixel(const QImage &image, int x, int y) {
    return image.pixel(x, y) | 0xff000000u;
}

QRgb rgb(const QColor &color) {
    return color.rgb();
}

// The smallest rectangle holding every pixel of area that is not the face colour.
QRect marks(const QImage &image, const QRect &area, const QColor &face) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (pixel(image, x, y) != face.rgb())
                box |= QRect(x, y, 1, 1);
    return box;
}

// Pixels of that colour on one row, between two columns.
int countOnRow(const QImage &image, int y, int fromX, int toX, const QColor &color) {
    int n = 0;
    for (int x = fromX; x <= toX; ++x)
        n += pixel(image, x, y) == color.rgb();
    return n;
}

QImage grabbed(QWidget &widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class ColorButtonTest : public ::testing::Test {
protected:
    ColorButtonTest() {
        button.resize(kSize);
        button.setBackColor(kFace);
        button.setForeColor(kCaption);
    }
    QRgb role(QPalette::ColorRole r) const { return button.palette().color(r).rgb(); }
    // The caption's pixels, inside the frame and the outline.
    QRect captionMarks(const QImage &image) const {
        return marks(image, QRect(QPoint(4, 4), kSize - QSize(8, 8)), kFace);
    }

    TColorButton button{u"SMS GÖNDER"_s};
};

QImage paintedFace(bool active, bool focused) {
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    ColorButtonFace face;
    face.rect = QRect(QPoint(0, 0), kSize);
    face.caption = u"SMS"_s;
    face.palette = QApplication::palette();
    face.backColor = kFace;
    face.foreColor = kCaption;
    face.active = active;
    face.focused = focused;
    paintColorButtonFace(painter, face);
    return image;
}

class PaintCountingButton : public TColorButton {
public:
    using TColorButton::TColorButton;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override {
        ++paints;
        TColorButton::paintEvent(event);
    }
};

} // namespace

TEST_F(ColorButtonTest, ColoursDefaultToThePalettesButtonFaceAndText) {
    TColorButton fresh(u"x"_s);
    EXPECT_EQ(fresh.backColor(), fresh.palette().color(QPalette::Button));
    EXPECT_EQ(fresh.foreColor(), fresh.palette().color(QPalette::ButtonText));
    EXPECT_EQ(fresh.hoverColor(), fresh.palette().color(QPalette::Button));
}

TEST_F(ColorButtonTest, PaintsTheRaisedFrameTheFaceAndTheCentredCaption) {
    const QImage image = grabbed(button);
    EXPECT_EQ(pixel(image, 0, 0), role(QPalette::Light));
    EXPECT_EQ(pixel(image, kSize.width() - 1, kSize.height() - 1), role(QPalette::Shadow));
    EXPECT_EQ(pixel(image, kSize.width() - 2, kSize.height() - 2), role(QPalette::Dark));
    EXPECT_EQ(pixel(image, 2, 2), rgb(kFace));
    EXPECT_EQ(pixel(image, kSize.width() - 3, kSize.height() - 3), rgb(kFace));

    const QRect caption = captionMarks(image);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_GT(countOnRow(image, caption.center().y(), 0, kSize.width() - 1, kCaption), 0);
    EXPECT_NEAR(caption.center().x(), kSize.width() / 2, 2);
    // The ink of capitals sits above the middle of the text line.
    EXPECT_NEAR(caption.center().y(), kSize.height() / 2, 4);
}

TEST_F(ColorButtonTest, PressedFaceHasAFlatShadowBorderAndMovesOnePixelRightAndDown) {
    const QRect released = captionMarks(grabbed(button));
    button.setDown(true);
    const QImage image = grabbed(button);

    EXPECT_EQ(pixel(image, 0, 0), role(QPalette::Dark));
    EXPECT_EQ(pixel(image, kSize.width() / 2, 0), role(QPalette::Dark));
    EXPECT_EQ(pixel(image, 0, kSize.height() / 2), role(QPalette::Dark));
    // The button face shows between the border and the moved face.
    EXPECT_EQ(pixel(image, 1, 1), role(QPalette::Button));
    EXPECT_EQ(pixel(image, 2, 2), rgb(kFace));
    EXPECT_EQ(pixel(image, kSize.width() - 1, kSize.height() - 1), rgb(kFace));
    EXPECT_EQ(captionMarks(image), released.translated(1, 1));
}

TEST(ColorButtonFace, OutlineWhenActiveOrFocusedAndFocusRectangleOnlyWhenBoth) {
    struct Case {
        const char *name;
        bool active;
        bool focused;
        bool outline;
        bool focusRect;
    };
    const Case cases[] = {
        {"neither", false, false, false, false},
        {"active, not focused", true, false, true, false},
        {"focused, not active", false, true, true, false},
        {"active and focused", true, true, true, true},
    };
    const QPalette palette = QApplication::palette();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = paintedFace(c.active, c.focused);
        EXPECT_EQ(pixel(image, 0, 0),
                  rgb(palette.color(c.outline ? QPalette::Shadow : QPalette::Light)));
        // Inside the outline the frame starts one pixel later.
        EXPECT_EQ(pixel(image, 1, 1),
                  rgb(palette.color(c.outline ? QPalette::Light : QPalette::Button)));
        // The focus rectangle's dotted top line, 4 pixels inside, left of the caption.
        const int dots = countOnRow(image, 4, 4, 24, kCaption);
        if (c.focusRect) {
            EXPECT_GE(dots, 8);
            EXPECT_EQ(countOnRow(image, 3, 4, 24, kCaption), 0);
        } else {
            EXPECT_EQ(dots, 0);
        }
    }
}

TEST_F(ColorButtonTest, DisabledCaptionIsEmbossedAndCentredLikeTheEnabledOne) {
    const QRect enabled = captionMarks(grabbed(button));
    button.setEnabled(false);
    const QImage image = grabbed(button);
    const QRect disabled = captionMarks(image);

    // The shade sits where the enabled caption sits, the highlight one pixel right and down.
    EXPECT_EQ(disabled.topLeft(), enabled.topLeft());
    EXPECT_EQ(disabled.bottomRight(), enabled.bottomRight() + QPoint(1, 1));
    EXPECT_EQ(countOnRow(image, enabled.center().y(), 0, kSize.width() - 1, kCaption), 0);
    EXPECT_GT(countOnRow(image, enabled.center().y(), 0, kSize.width() - 1,
                         button.palette().color(QPalette::Dark)),
              0);
}

TEST_F(ColorButtonTest, HoverShowsTheHoverColourAndLeavingBringsBackTheSavedOne) {
    const QColor lime(0, 255, 0);
    button.setHoverColor(lime);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.backColor(), lime);
    EXPECT_EQ(pixel(grabbed(button), 2, 2), rgb(lime));

    // A colour set while the mouse is over the button is replaced on leaving.
    button.setBackColor(Qt::red);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.backColor(), kFace);
    EXPECT_EQ(pixel(grabbed(button), 2, 2), rgb(kFace));
}

TEST_F(ColorButtonTest, HoverWithTheDefaultColoursChangesNothingVisible) {
    TColorButton plain(u"SMS GÖNDER"_s);
    plain.resize(kSize);
    const QImage before = grabbed(plain);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&plain, &enter);
    EXPECT_EQ(grabbed(plain), before);
}

TEST(ColorButton, ActiveWithTheFocusOrAsTheDefaultButtonWhileNoOtherButtonHasIt) {
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *button = new TColorButton(u"SMS GÖNDER"_s);
    auto *other = new QPushButton(u"Diğer"_s);
    auto *edit = new QLineEdit;
    for (QWidget *w : {static_cast<QWidget *>(button), static_cast<QWidget *>(other),
                       static_cast<QWidget *>(edit)})
        layout->addWidget(w);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    button->setFocus();
    EXPECT_TRUE(button->isActive());
    other->setFocus();
    EXPECT_FALSE(button->isActive());

    button->setDefault(true);
    edit->setFocus();
    EXPECT_TRUE(button->isActive());
    other->setFocus();
    EXPECT_FALSE(button->isActive());
}

TEST(ColorButton, RepaintsOnlyWhenAColourReallyChanges) {
    PaintCountingButton button(u"SMS GÖNDER"_s);
    button.resize(kSize);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QCoreApplication::sendPostedEvents();

    button.paints = 0;
    button.setBackColor(button.backColor());
    button.setForeColor(button.foreColor());
    button.setHoverColor(button.hoverColor());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(button.paints, 0);

    // The same way of looking sees a change.
    button.setForeColor(Qt::red);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(button.paints, 1);
}
