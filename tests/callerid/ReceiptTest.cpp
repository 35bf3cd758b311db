#include "callerid/Receipt.h"

#include "platform/Error.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace {

QString s(const char *utf8) {
    return QString::fromUtf8(utf8);
}

// A paint engine that keeps every text drawn on it: the text, the font and the baseline
// point in device pixels.
class RecordingEngine : public QPaintEngine {
public:
    struct Text {
        QString text;
        QFont font;
        QPointF baseline;
    };

    RecordingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawTextItem(const QPointF &p, const QTextItem &item) override {
        // The painter hands over points in logical coordinates; no transform is expected.
        EXPECT_TRUE(state->transform().isIdentity());
        texts.push_back({item.text(), item.font(), p});
    }
    Type type() const override { return QPaintEngine::User; }

    std::vector<Text> texts;
};

// The metrics of an A4 page at a given resolution.
int a4Metric(QPaintDevice::PaintDeviceMetric metric, int dpi) {
    switch (metric) {
    case QPaintDevice::PdmWidth:
        return 210 * dpi * 10 / 254;
    case QPaintDevice::PdmHeight:
        return 297 * dpi * 10 / 254;
    case QPaintDevice::PdmWidthMM:
        return 210;
    case QPaintDevice::PdmHeightMM:
        return 297;
    case QPaintDevice::PdmNumColors:
        return INT_MAX;
    case QPaintDevice::PdmDepth:
        return 32;
    case QPaintDevice::PdmDpiX:
    case QPaintDevice::PdmDpiY:
    case QPaintDevice::PdmPhysicalDpiX:
    case QPaintDevice::PdmPhysicalDpiY:
        return dpi;
    case QPaintDevice::PdmDevicePixelRatio:
        return 1;
    case QPaintDevice::PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    }
    return 0;
}

// A page-sized device at a given resolution whose engine records what is drawn.
class RecordingDevice : public QPaintDevice {
public:
    explicit RecordingDevice(int dpi)
        : m_dpi(dpi) {}
    ~RecordingDevice() override = default;

    QPaintEngine *paintEngine() const override { return &m_engine; }
    const std::vector<RecordingEngine::Text> &texts() const { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override { return a4Metric(metric, m_dpi); }

private:
    int m_dpi;
    mutable RecordingEngine m_engine;
};

// The card of the worked example: three phones, a company, two address lines, one note.
ReceiptInput fullCard() {
    ReceiptInput input;
    input.name = s("Ayşe Yılmaz");
    input.phone1 = s("05321234567");
    input.phone2 = s("05441234567");
    input.phone3 = s("02122223344");
    input.company = s("Çınar Lokantası");
    input.addressLines = {s("Bağdat Cad. No: 5"), s("Kadıköy İstanbul")};
    input.noteLines = {s("Adisyon yazıcısı arızalı")};
    input.dateTime = s("12.03.2024 14:05");
    input.serialNumber = s("4711");
    return input;
}

TEST(ReceiptLayout, WorkedExampleLineByLine) {
    const QString courier = s("Courier New");
    const std::vector<ReceiptLine> expected = {
        {s("Ayşe Yılmaz"), courier, 14, true, 20, 0},
        {s("05321234567"), courier, 14, true, 20, 50},
        {s("05441234567"), courier, 14, true, 20, 100},
        {s("02122223344"), courier, 14, true, 20, 150},
        {s("Çınar Lokantası"), courier, 14, true, 20, 200},
        {s("ADRES :"), courier, 14, true, 20, 300},
        {s("Bağdat Cad. No: 5"), courier, 11, true, 20, 350},
        {s("Kadıköy İstanbul"), courier, 11, true, 20, 380},
        {s("NOTU :"), courier, 10, true, 20, 460},
        {s("Adisyon yazıcısı arızalı"), courier, 10, true, 20, 510},
        {s("  "), courier, 10, true, 20, 540},
        {s("  "), courier, 10, true, 20, 570},
        {s("  "), courier, 10, true, 20, 600},
        {s("  "), courier, 10, true, 20, 630},
        {s("  "), courier, 10, true, 20, 660},
        {s("  "), courier, 10, true, 20, 690},
        {s("12.03.2024 14:05 SNO : 4711"), courier, 10, true, 20, 770},
        {s("Bilgi fişidir mali değeri yoktur"), courier, 10, true, 20, 820},
    };
    const std::vector<ReceiptLine> actual = receiptLayout(fullCard());
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].text, expected[i].text) << "line " << i;
        EXPECT_EQ(actual[i].points, expected[i].points) << "line " << i;
        EXPECT_EQ(actual[i].y, expected[i].y) << "line " << i;
        EXPECT_TRUE(actual[i] == expected[i]) << "line " << i;
    }
}

// The y of the first line with this text, or -1.
int yOf(const std::vector<ReceiptLine> &lines, const QString &text) {
    for (const ReceiptLine &line : lines) {
        if (line.text == text)
            return line.y;
    }
    return -1;
}

TEST(ReceiptLayout, EmptyFieldsTakeNoSpace) {
    struct Case {
        const char *name;
        ReceiptInput input;
        int adres;
        int notu;
        int band;
        int date;
    };
    ReceiptInput phone1Only;
    phone1Only.phone1 = s("05321234567");
    phone1Only.addressLines = {s("a"), s("b")};
    phone1Only.noteLines = {s("n")};
    ReceiptInput phone2Only = phone1Only;
    phone2Only.phone1.clear();
    phone2Only.phone2 = s("05441234567");
    ReceiptInput nothing = phone1Only;
    nothing.phone1.clear();
    ReceiptInput companyOnly = nothing;
    companyOnly.company = s("Firma");
    ReceiptInput noAddressNoNote = fullCard();
    noAddressNoNote.addressLines.clear();
    noAddressNoNote.noteLines.clear();
    ReceiptInput emptyAddressLines = fullCard();
    emptyAddressLines.addressLines = {QString(), s("b"), QString()};

    const Case cases[] = {
        {"full_card", fullCard(), 300, 460, 540, 770},
        {"phone1_only_no_company", phone1Only, 100, 260, 340, 570},
        {"phone2_only_no_gap", phone2Only, 100, 260, 340, 570},
        {"no_phone_no_company", nothing, 50, 210, 290, 520},
        {"company_only", companyOnly, 150, 310, 390, 620},
        {"no_address_no_note", noAddressNoNote, 300, 400, 450, 680},
        {"empty_address_lines_take_30", emptyAddressLines, 300, 490, 570, 800},
    };
    for (const Case &c : cases) {
        const std::vector<ReceiptLine> lines = receiptLayout(c.input);
        EXPECT_EQ(lines.front().y, 0) << c.name;
        EXPECT_EQ(yOf(lines, s("ADRES :")), c.adres) << c.name;
        EXPECT_EQ(yOf(lines, s("NOTU :")), c.notu) << c.name;
        EXPECT_EQ(yOf(lines, s("  ")), c.band) << c.name;
        EXPECT_EQ(lines[lines.size() - 2].y, c.date) << c.name;
        EXPECT_EQ(lines.back().y, c.date + 50) << c.name;
        EXPECT_EQ(lines.size(), 1 + !c.input.phone1.isEmpty() + !c.input.phone2.isEmpty() +
                                    !c.input.phone3.isEmpty() + !c.input.company.isEmpty() + 1 +
                                    c.input.addressLines.size() + 1 + c.input.noteLines.size() + 6 +
                                    2)
            << c.name;
    }

    // The second phone moves up to the first phone's place; empty address lines are printed.
    EXPECT_EQ(yOf(receiptLayout(phone2Only), s("05441234567")), 50);
    const std::vector<ReceiptLine> withEmpty = receiptLayout(emptyAddressLines);
    EXPECT_EQ(withEmpty[6].text, QString());
    EXPECT_EQ(withEmpty[6].y, 350);
    EXPECT_EQ(withEmpty[7].y, 380);
    EXPECT_EQ(withEmpty[8].y, 410);
}

TEST(ReceiptLayout, EmptyNameIsStillPrintedAtTheTop) {
    ReceiptInput input = fullCard();
    input.name.clear();
    const std::vector<ReceiptLine> lines = receiptLayout(input);
    EXPECT_EQ(lines.front().text, QString());
    EXPECT_EQ(lines.front().y, 0);
    EXPECT_EQ(lines[1].y, 50);
}

TEST(ReceiptMemoLines, CountsLinesLikeAMemo) {
    const struct {
        const char *text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {s("a")}},
        {"a\nb", {s("a"), s("b")}},
        {"a\n", {s("a")}},
        {"a\r\nb\r\n", {s("a"), s("b")}},
        {"a\n\nb", {s("a"), QString(), s("b")}},
        {"\n", {QString()}},
        {"a\n\n", {s("a"), QString()}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(receiptMemoLines(s(c.text)), c.lines) << c.text;
}

TEST(ReceiptFont, CourierNewOrAMonospaceStandIn) {
    for (int points : {14, 11, 10}) {
        const QFont font = receiptFont(s("Courier New"), points, true);
        const QFontInfo info(font);
        EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
        EXPECT_TRUE(info.family() == s("Courier New") || info.family() == s("Liberation Mono"))
            << info.family().toStdString();
        EXPECT_TRUE(info.bold());
        EXPECT_EQ(info.pointSize(), points);
    }
}

// The text runs drawn on one baseline, joined left to right, by baseline.
using TextsByBaseline = std::map<double, std::vector<const RecordingEngine::Text *>>;
TextsByBaseline byBaseline(const std::vector<RecordingEngine::Text> &texts) {
    TextsByBaseline lines;
    for (const RecordingEngine::Text &text : texts)
        lines[text.baseline.y()].push_back(&text);
    return lines;
}

// A layout position on a device of this resolution.
int onDevice(int receiptPixels, int dpi) {
    return qRound(receiptPixels * double(dpi) / receiptDpi);
}

class ReceiptPainting : public ::testing::TestWithParam<int> {};

// Every visible line lands with its top edge at its y and its left edge at 20 pixels of the
// receipt's grid, mapped onto the device's resolution, in its font and size.
TEST_P(ReceiptPainting, LinesLandAtTheirPixelsOnTheReceiptsGrid) {
    const int dpi = GetParam();
    RecordingDevice device(dpi);
    const std::vector<ReceiptLine> lines = receiptLayout(fullCard());
    {
        QPainter painter(&device);
        paintReceipt(painter, lines);
    }
    const TextsByBaseline drawn = byBaseline(device.texts());

    for (const ReceiptLine &line : lines) {
        if (line.text.trimmed().isEmpty())
            continue;
        const RecordingEngine::Text *first = nullptr;
        QString joined;
        for (const auto &[baseline, texts] : drawn) {
            QString candidate;
            for (const RecordingEngine::Text *text : texts)
                candidate += text->text;
            if (candidate == line.text) {
                first = texts.front();
                joined = candidate;
                break;
            }
        }
        ASSERT_NE(first, nullptr) << line.text.toStdString() << " not drawn";
        const QFont &font = first->font;
        EXPECT_EQ(font.families().value(0), s("Courier New")) << line.text.toStdString();
        EXPECT_EQ(font.pointSize(), line.points) << line.text.toStdString();
        EXPECT_TRUE(font.bold()) << line.text.toStdString();
        EXPECT_EQ(first->baseline.x(), onDevice(20, dpi)) << line.text.toStdString();
        const int ascent = QFontMetrics(font, &device).ascent();
        // The size in points becomes pixels at the device's resolution.
        EXPECT_GT(ascent, line.points * dpi / 72 / 2) << line.text.toStdString();
        EXPECT_EQ(first->baseline.y() - ascent, onDevice(line.y, dpi)) << line.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Resolutions, ReceiptPainting,
                         ::testing::Values(receiptDpi, 96, 600, 1200));

// A printer that keeps its own resolution whatever it is asked for, as some printer drivers
// do; its engine records the texts like RecordingEngine.
class FixedResolutionPrinter : public QPrinter {
public:
    explicit FixedResolutionPrinter(int dpi)
        : m_engine(dpi) {
        setEngines(&m_engine, &m_engine);
    }
    const std::vector<RecordingEngine::Text> &texts() const { return m_engine.texts; }

private:
    class Engine : public RecordingEngine, public QPrintEngine {
    public:
        explicit Engine(int dpi)
            : m_dpi(dpi) {}
        void setProperty(PrintEnginePropertyKey, const QVariant &) override {}
        QVariant property(PrintEnginePropertyKey key) const override {
            if (key == PPK_Resolution)
                return m_dpi;
            return {};
        }
        bool newPage() override { return true; }
        bool abort() override { return true; }
        int metric(QPaintDevice::PaintDeviceMetric metric) const override {
            return a4Metric(metric, m_dpi);
        }
        QPrinter::PrinterState printerState() const override { return QPrinter::Idle; }

    private:
        int m_dpi;
    };

    Engine m_engine;
};

// The receipt's lines one under the other, at the paper positions of a receipt printer, on a
// printer that takes that resolution (a CUPS queue, a PDF file) and on one that keeps 1200 dpi: the
// lines never overlap.
TEST(ReceiptPrinting, PrintsAtTheReceiptPrintersResolution) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QPrinter pdf(QPrinter::HighResolution); // 1200 dpi until the receipt asks for less
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(dir.filePath(s("receipt.pdf")));
    printReceipt(fullCard(), pdf);
    EXPECT_EQ(pdf.resolution(), receiptDpi);

    FixedResolutionPrinter printer(1200);
    printReceipt(fullCard(), printer);
    EXPECT_EQ(printer.resolution(), 1200);
    const std::vector<ReceiptLine> layout = receiptLayout(fullCard());
    const TextsByBaseline drawn = byBaseline(printer.texts());
    ASSERT_EQ(drawn.size(), layout.size()); // the blank band is drawn too
    int previousInkBottom = INT_MIN;
    std::size_t i = 0;
    for (const auto &[baseline, texts] : drawn) {
        const ReceiptLine &line = layout[i++];
        const QFontMetrics metrics(texts.front()->font, &printer);
        EXPECT_EQ(qRound(baseline) - metrics.ascent(), onDevice(line.y, 1200))
            << line.text.toStdString();
        if (line.text.trimmed().isEmpty())
            continue;
        // What is inked of the line, accents and descenders included.
        const QRect ink = metrics.tightBoundingRect(line.text).translated(0, qRound(baseline));
        EXPECT_GT(ink.top(), previousInkBottom) << line.text.toStdString() << " overlaps";
        previousInkBottom = ink.bottom();
    }
}

TEST(ReceiptPrinting, NoPrinterIsAnErrorBeforeAnythingIsPrinted) {
    try {
        printReceipt(fullCard(), QPrinterInfo());
        FAIL() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), s("There is no default printer currently selected"));
    }
}

TEST(ReceiptPrinting, PrintsOneJobToAPdfFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(s("receipt.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);

    printReceipt(fullCard(), printer);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    // One page: the receipt fits at the top of it.
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
}

TEST(ReceiptPrinting, AJobThatCannotStartIsAnError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile blocker(dir.filePath(s("afile")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // No one, root included, can create a file below a regular file.
    const QString path = dir.filePath(s("afile/receipt.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);

    try {
        printReceipt(fullCard(), printer);
        FAIL() << "no error";
    } catch (const Error &error) {
        EXPECT_EQ(error.text(), s("Unable to start a print job on ") + path);
    }
}

} // namespace
