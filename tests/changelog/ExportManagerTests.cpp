// The event-log export of the demo show, printed to a PDF and read back with poppler-utils: the page
// size and count, the texts in order, the left margin and font sizes, and the symbols drawn.

#include "DemoShow.h"
#include "QmlTest.h"

#include "export_manager.h"

#include <brix_core/Editor.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using changelog_test::DemoShow;

QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A word of `pdftotext -bbox`, in points from the page's top left corner.
struct Word {
    int page;
    QString text;
    double xMin, yMin, xMax, yMax;
    double Height() const { return yMax - yMin; }
};

std::vector<Word> Words(const QString& pdf)
{
    std::vector<Word> words;
    QXmlStreamReader xml(RunTool(PDFTOTEXT, {"-bbox", pdf, "-"}));
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const auto attributes = xml.attributes();
            const auto number = [&](const char* name) { return attributes.value(name).toDouble(); };
            words.push_back({page, QString(), number("xMin"), number("yMin"), number("xMax"), number("yMax")});
            words.back().text = xml.readElementText();
        }
    }
    return words;
}

std::optional<Word> FirstWord(const std::vector<Word>& words, const QString& text)
{
    const auto found = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
    return found == words.end() ? std::nullopt : std::optional<Word>(*found);
}

// The demo show's log with one event of each kind that the document writes in its own way, a marker
// whose name is markup, and an OSC destination.
void AddEdits(CL::Editor& editor)
{
    editor.UpdateNetworks({CL::NetworkPath("Lighting <desk>", "net1", "10.0.0.7", 53000, false)});
    editor.SelectSongLogForEditing("1");
    editor.AddEvent(CL::Marker(480, "<b>&", ""));
    editor.AddEvent(CL::Vamp(1920, 3840, "", 0));
    editor.AddEvent(CL::Transpose(1920, 2880, "", 0));
    editor.AddEvent(CL::TempoScale(3840, 5760, "", 0.95));
    editor.AddEvent(CL::Click(5760, 7680, "", 5));
    editor.AddEvent(CL::Osc(100, "", CL::OscProperties("/go <1>", "net1")));
}

class ExportManagerTest : public musical_test::QmlTest {
protected:
    void Export(const QString& displayName = "Tarn|Wick")
    {
        brix::CurrentShowSource store = [] {
            brix::networking::ShowRecord record;
            record.customer = "Brix Demo & Co";
            return std::optional(record);
        };
        brix::qt::ExportManager manager(store, demo.showManager, demo.engine, 53535, "Lanterns on the Quay",
                                        QUrl::fromLocalFile(pdf), displayName);
        manager.ExportChangelog();
    }

    DemoShow demo;
    QString pdf = QString::fromStdString((demo.Scratch() / "summary.pdf").string());
};

TEST_F(ExportManagerTest, PrintsTheSummaryOnA4PagesInTheShowsOrder)
{
    AddEdits(*demo.engine->GetChangeLogEditor());
    Export();

    const QString info = RunTool(PDFINFO, {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+59[56](\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"))) << info.toStdString();
    const QRegularExpressionMatch pages = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    ASSERT_TRUE(pages.hasMatch());
    const int pageCount = pages.captured(1).toInt();
    EXPECT_GE(pageCount, 2) << "four songs with their tables do not fit on one page";

    const QString text = RunTool(PDFTOTEXT, {"-layout", pdf, "-"});
    const QStringList pageTexts = text.split('\f', Qt::SkipEmptyParts);
    EXPECT_EQ(pageTexts.size(), pageCount) << "every page carries text";
    // In reading order: the header, the table of contents and the sections in numeric order of the
    // song numbers ("10" last, not after "1"), the network section.
    const QStringList inOrder{"Event Log Summary", "Show Name", "Lanterns on the Quay", "Customer Name",
                              "Brix Demo & Co", "Version", "Log Date", "Today's Date", "Table of Contents",
                              "Song 1: Overture", "Song 2: Harbour Lights", "Song 2A: Harbour Lights (Reprise)",
                              "Song 10: Finale", "Song 1: Overture", "Playback State:", "<b>&",
                              "Song 2: Harbour Lights", "Song 2A", "Song 10: Finale", "Network Paths",
                              "Osc Listening Port: 53535", "Lighting <desk>", "udp", "10.0.0.7", "53000"};
    qsizetype at = 0;
    for (const QString& expected : inOrder) {
        const qsizetype found = text.indexOf(expected, at);
        ASSERT_GE(found, 0) << "missing or out of order: " << expected.toStdString() << "\n" << text.toStdString();
        at = found + expected.size();
    }
    // The values of the kinds that format their own, and the offset of an event 100 ticks after the
    // song's first beat (at tick 0), which is no exact beat.
    for (const QString& value : {QString(QChar(0x221E)), QString("+0"), QString("95%"),
                                 QString("Send \"/go <1>\" to \"Lighting <desk>\""), QString("1:1|100")})
        EXPECT_TRUE(text.contains(value)) << value.toStdString();
}

TEST_F(ExportManagerTest, KeepsTheMarginAndTheTextsProportions)
{
    AddEdits(*demo.engine->GetChangeLogEditor());
    Export();
    const std::vector<Word> words = Words(pdf);

    // 0.75 inch = 54 points from the left edge; the labels of the show data start the text column.
    const std::optional<Word> label = FirstWord(words, "Show");
    ASSERT_TRUE(label);
    EXPECT_GE(label->xMin, 54.0);
    EXPECT_LT(label->xMin, 60.0);
    // Glyph boxes are about 1.15 times the font size: 22 pt title, 15 pt section heads, 9 pt body.
    const std::optional<Word> title = FirstWord(words, "Summary");
    const std::optional<Word> head = FirstWord(words, "Contents");
    const std::optional<Word> body = FirstWord(words, "Version");
    ASSERT_TRUE(title && head && body);
    EXPECT_NEAR(title->Height(), 22 * 1.15, 22 * 0.15);
    EXPECT_NEAR(head->Height(), 15 * 1.15, 15 * 0.15);
    EXPECT_NEAR(body->Height(), 9 * 1.15, 9 * 0.15);
    // Uniform scaling: a word's width to height is the font's, whatever the page's aspect.
    const std::optional<Word> bodyWide = FirstWord(words, "Lanterns");
    ASSERT_TRUE(bodyWide);
    EXPECT_NEAR(bodyWide->xMax - bodyWide->xMin, 36.5, 3.0) << "\"Lanterns\" in 9 pt Arial is about 36.5 pt wide";
}

TEST_F(ExportManagerTest, DrawsTheSymbols)
{
    AddEdits(*demo.engine->GetChangeLogEditor());
    Export();
    const std::vector<Word> words = Words(pdf);
    const QString prefix = QString::fromStdString((demo.Scratch() / "page").string());
    RunTool(PDFTOPPM, {"-r", "144", "-f", "1", "-l", "2", "-png", pdf, prefix});
    QDir().mkpath(CHANGELOG_PICTURES_DIR);
    const QStringList pictures = QDir(QString::fromStdString(demo.Scratch().string())).entryList({"page*.png"}, QDir::Files, QDir::Name);
    ASSERT_FALSE(pictures.isEmpty());
    for (const QString& picture : pictures) {
        QFile::remove(QString(CHANGELOG_PICTURES_DIR) + "/export-" + picture);
        QFile::copy(QString::fromStdString((demo.Scratch() / picture.toStdString()).string()),
                    QString(CHANGELOG_PICTURES_DIR) + "/export-" + picture);
    }

    // At 144 dpi a point is two pixels. Counts the pixels in a box (in points) that are dark, or tinted.
    const auto inked = [&](int page, double x0, double y0, double x1, double y1, bool coloured) {
        const QImage image(QString::fromStdString((demo.Scratch() / pictures.at(page - 1).toStdString()).string()));
        int count = 0;
        for (int y = int(2 * y0); y < int(2 * y1); ++y) {
            for (int x = int(2 * x0); x < int(2 * x1); ++x) {
                const QColor c = image.pixelColor(x, y);
                const bool dark = c.lightness() < 110;
                const bool tinted = std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 60;
                count += coloured ? tinted : dark;
            }
        }
        return count;
    };
    // The logo left of the title.
    const std::optional<Word> title = FirstWord(words, "Event");
    ASSERT_TRUE(title);
    EXPECT_GT(inked(1, title->xMin - 40, title->yMin - 6, title->xMin - 2, title->yMax + 6, true), 20) << "logo";
    // The playback state after its label: a coloured symbol.
    const std::optional<Word> state = FirstWord(words, "State:");
    ASSERT_TRUE(state);
    EXPECT_GT(inked(state->page, state->xMax + 2, state->yMin - 2, state->xMax + 30, state->yMax + 2, true), 8)
        << "playback state";
    // The black event icons in the cell before their type names; the caesura's shares its resource
    // name with no icon of the program's other images.
    for (const char* name : {"Osc", "Caesura", "Cut", "Marker"}) {
        const std::optional<Word> type = FirstWord(words, name);
        ASSERT_TRUE(type) << name;
        // The caesura's two thin strokes ink fewest; an empty cell inks none.
        EXPECT_GT(inked(type->page, type->xMin - 20, type->yMin - 2, type->xMin - 2, type->yMax + 2, false), 4)
            << "event icon of " << name;
    }
}

TEST_F(ExportManagerTest, AnUnwritableTargetThrows)
{
    pdf = QString::fromStdString((demo.Scratch() / "missing" / "summary.pdf").string());
    EXPECT_THROW(Export(), std::runtime_error);
}

// The symbols of a document become inline SVG objects sized from the image or the symbol's default;
// an image without a mapping stays an image.
TEST_F(ExportManagerTest, ReplacesMappedImagesBySvgObjects)
{
    QTextDocument document;
    document.setHtml("<p><img src='brix-logo'/><img src='icon-cut'/><img src='notehead-5'/>"
                     "<img src='icon-vamp' width='20' height='16'/><img src='notehead-4'/></p>");
    const QHash<QString, QString> map{{"brix-logo", ":/images/tw_icon.svg"},
                                      {"icon-cut", ":/images/cut_event_black.svg"},
                                      {"icon-vamp", ":/images/vamp_event.svg"},
                                      {"notehead-4", ":/images/notehead-4.svg"}};
    brix::qt::ReplaceImagesWithSvgObjects(document, map);

    struct Expected {
        const char* key;
        double width, height;
    };
    const std::vector<Expected> expected{{"brix-logo", 35, 35}, {"icon-cut", 12, 12}, {"", 0, 0},
                                         {"icon-vamp", 20, 16}, {"notehead-4", 10, 10}};
    std::vector<QTextCharFormat> formats;
    for (auto it = document.begin().begin(); !it.atEnd(); ++it)
        formats.push_back(it.fragment().charFormat());
    ASSERT_EQ(formats.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        if (*expected[i].key == '\0') {
            EXPECT_TRUE(formats[i].isImageFormat()) << "unmapped image kept";
            continue;
        }
        EXPECT_EQ(formats[i].objectType(), brix::qt::SvgInlineObject::kObjectType);
        EXPECT_EQ(formats[i].stringProperty(brix::qt::SvgInlineObject::kKeyProperty), expected[i].key);
        EXPECT_EQ(formats[i].doubleProperty(brix::qt::SvgInlineObject::kWidthProperty), expected[i].width);
        EXPECT_EQ(formats[i].doubleProperty(brix::qt::SvgInlineObject::kHeightProperty), expected[i].height);
    }
}

}  // namespace
