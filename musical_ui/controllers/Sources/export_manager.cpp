#include "export_manager.h"

#include "ShowManager.h"

#include <brix_core/Editor.h>
#include <brix_player_core/Interface.h>

#include <fennic/NumericStringCompare.h>

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <set>
#include <stdexcept>
#include <vector>

namespace brix::qt {

namespace {

constexpr char kDateFormat[] = "MM-dd-yyyy hh:mm:ss t";
const QString kSeparator = "<p class='meta'>" + QString(52, QChar('_')) + "<br/></p>";
const QString kHeaderSpacer = "<div class='songHeaderSpacer'>&nbsp;</div>";

QString Escaped(const std::string& text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

// One line of a song's table: a change-log event or a marker.
struct EventRow {
    QString type;   // escaped
    QString icon;   // image key; empty for an unknown kind
    QString value;  // HTML fragment
    QString inCell;
    QString outCell;
    std::uint32_t inTick = 0;
    std::uint32_t outTick = 0;
};

const char* const kStyleSheet =
    "body { font-family: Arial, sans-serif; font-size: 9pt; color: #111; }\n"
    ".header { width: 100%; margin-bottom: 11pt; }\n"
    ".header td { border: none; padding: 0; vertical-align: middle; }\n"
    ".songHeader { font-size: 15pt; margin: 5pt 0 6pt 0; font-weight: 600; margin-bottom: 2pt; }\n"
    ".meta { color: #555; margin: 0; }\n"
    ".muted { color: #666; }\n"
    "table.events { width: 100%; border-collapse: collapse; margin-bottom: 0; }\n"
    "table.events th, table.events td { border: 1px solid #DDD; padding: 6px 8px; vertical-align: top; }\n"
    "table.events th { background: #FFFFFF; border-color: #B7D7F0; text-align: left; }\n"
    ".songHeaderSpacer { height: 1pt; }\n"
    "table.events tr.rowA td { background: #EEEEEE; }\n"
    "table.events tr.rowB td { background: #FFFFFF; }\n"
    "table.events thead tr th { background: #FFFFFF; }\n"
    "table.metaPlain { width: 100%; border-collapse: collapse; margin: 8pt 0 12pt 0; }\n"
    "table.metaPlain td { border: none; padding: 1pt 6pt; vertical-align: top; }\n"
    "table.metaPlain td.k { font-weight: 700; white-space: nowrap; width: 120pt; padding-left: 0; }\n"
    "table.metaPlain td.v { padding-left: 10pt; }\n"
    ".num { text-align: right; white-space: nowrap; }\n"
    ".songSpacer { height: 18pt; }\n";

// The song's title and anchor.
struct SongIdentity {
    QString anchor;
    QString title;
};

SongIdentity IdentityOf(const std::string& song, const Interface::SongNames& names)
{
    const QString number = Escaped(song);
    const auto name = names.find(song);
    const QString title = name != names.end() && !name->second.empty()
                              ? QString("Song %1: %2").arg(number, Escaped(name->second))
                              : QString("Song %1").arg(number);
    return {QString("song_%1").arg(number), title};
}

QString PlaybackState(std::uint8_t attacca)
{
    const char* icon = attacca == 0 ? "icon-check" : attacca == 1 ? "icon-continue" : attacca == 2 ? "icon-skip" : nullptr;
    if (icon == nullptr)
        return {};
    return QString("<table cellspacing='0' cellpadding='0' style='margin:2pt 0 6pt 0;'><tr><td "
                   "style='font-size:9pt; padding-right:8pt;'>Playback State: </td><td><img src='%1' "
                   "width='12' height='12'/></td></tr></table>")
        .arg(icon);
}

class RowBuilder {
public:
    RowBuilder(const std::string& song, const CL::Editor& editor, Interface& engine)
        : song_(song), editor_(editor), engine_(engine)
    {
    }

    EventRow Build(const cmn::BrixEvent& event) const
    {
        EventRow row;
        row.inTick = event.start();
        row.outTick = event.end();
        const int count = event.int_value();
        switch (event.code()) {
        case codes::vamp:
            Describe(row, "Vamp", "icon-vamp", count == 0 ? QString(QChar(0x221E)) : QString::number(count));
            break;
        case codes::repeat:
            Describe(row, "Repeat", "icon-repeat", QString("%1x").arg(count));
            break;
        case codes::cut:
            Describe(row, "Cut", "icon-cut", {});
            break;
        case codes::transpose:
            Describe(row, "Transpose", "icon-transpose",
                     count < 0 ? QString::number(count) : QString("+%1").arg(count));
            break;
        case codes::tempoScale:
            Describe(row, "Scale Tempo", "icon-tempo",
                     QString("%1%").arg(QString::number(event.float_value() * 100, 'g', 6)));
            break;
        case codes::marker:
            Describe(row, "Marker", "icon-marker", Escaped(event.value()));
            row.outTick = event.start();
            break;
        case codes::click:
            Describe(row, "Click", "icon-click",
                     QString("<img src='notehead-%1' style='height:10pt; width:auto; vertical-align:middle;'/>")
                         .arg(count));
            break;
        case codes::fermata:
            Describe(row, "Skip", "icon-fermata", {});
            break;
        case codes::caesura: {
            const int target = event.VersionTarget();
            Describe(row, "Caesura", "icon-caesura",
                     target == 0   ? QString()
                     : target == 1 ? QString("T|W only")
                     : target == 2 ? QString("V|S only")
                                   : QString::number(target));
            row.outTick = event.start();
            break;
        }
        case codes::osc:
            Describe(row, "Osc", "icon-osc", OscText(event.osc_properties()));
            row.outTick = event.start();
            break;
        default:
            break;
        }
        row.inCell = Cell(row.inTick);
        row.outCell = Cell(row.outTick);
        if (row.outCell == row.inCell)
            row.outCell = "    ";
        return row;
    }

private:
    static void Describe(EventRow& row, const char* type, const char* icon, QString value)
    {
        row.type = QString(type).toHtmlEscaped();
        row.icon = icon;
        row.value = std::move(value);
    }

    QString OscText(const CL::OscProperties& osc) const
    {
        const auto& networks = editor_.GetNetworks();
        const auto network = std::find_if(networks.begin(), networks.end(), [&](const CL::NetworkPath& path) {
            return path.NetworkId() == osc.NetworkId();
        });
        if (network == networks.end())
            return Escaped(osc.Message());
        return QString("Send \"%1\" to \"%2\"").arg(Escaped(osc.Message()), Escaped(network->Name()));
    }

    // The bar text of the beat at or before the tick, and the ticks past that beat when there are any.
    // The offset is measured from the floor beat itself, so an event just after a beat at tick 0 keeps
    // its offset.
    QString Cell(std::uint32_t tick) const
    {
        const std::uint32_t floor = editor_.GetBarBeatFloorTick(song_, tick);
        const std::uint32_t offset = tick > floor ? tick - floor : 0;
        const QString bar = Escaped(engine_.GetBarString(song_, floor)).remove('*');
        if (offset == 0)
            return bar;
        return QString("%1<span class='muted'>|%2</span>").arg(bar).arg(offset);
    }

    const std::string& song_;
    const CL::Editor& editor_;
    Interface& engine_;
};

QString SongSection(const SongIdentity& identity, std::vector<EventRow> rows,
                    std::uint8_t attacca)
{
    // Stable, so rows equal in both ticks keep the log's order from one export to the next.
    std::stable_sort(rows.begin(), rows.end(), [](const EventRow& a, const EventRow& b) {
        return a.inTick != b.inTick ? a.inTick < b.inTick : a.outTick < b.outTick;
    });
    QString html = QString("<div id='%1' class='songHeader'>%2</div>").arg(identity.anchor, identity.title);
    html += PlaybackState(attacca);
    html += kHeaderSpacer;
    if (rows.empty()) {
        html += "<div class='noEvents'>No events for this song</div><div class='songSpacer'>&nbsp;</div>";
        return html;
    }
    html += "<table class='events'><thead><tr><th style='width:6%;'>#</th>"
            "<th colspan='2' style='text-align:center;padding-right: 33px;'>Type</th>"
            "<th style='width:22%;'>In</th><th style='width:22%;'>Out</th><th style='width:20%;'>Value</th>"
            "</tr></thead><tbody>";
    int i = 0;
    for (const EventRow& row : rows) {
        ++i;
        html += QString("<tr class='%1'><td class='num'>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td>"
                        "<td class='num'>%7</td></tr>")
                    .arg(i % 2 == 1 ? "rowA" : "rowB")
                    .arg(i)
                    .arg(QString("<img src='%1'>").arg(row.icon), QString("<b>%1</b>").arg(row.type),
                         row.inCell, row.outCell, row.value);
    }
    html += "</tbody></table><div class=\"songSpacer\">&nbsp;</div>";
    return html;
}

QString NetworkSection(const CL::NetworkPathVectorT& networks, const QString& oscPort)
{
    QString html = "<div class='songHeader'>Network Paths</div>" + kHeaderSpacer +
                   QString("<div class='meta'><b>Osc Listening Port: %1</b></div>").arg(oscPort) + kHeaderSpacer;
    if (networks.empty())
        return html + "<div class='noEvents'>No networks defined</div><div class='songSpacer'>&nbsp;</div>";
    html += "<table class='events'><thead><tr><th style='width: 6%;'>#</th><th style='width: 34%;'>Name</th>"
            "<th style='width: 12%;'>Mode</th><th style='width: 36%;'>IP Address</th>"
            "<th style='width: 12%;'>Port</th></tr></thead><tbody>";
    int i = 0;
    for (const CL::NetworkPath& network : networks) {
        ++i;
        html += QString("<tr class='%1'><td>%2</td><td><b>%3</b></td><td>%4</td><td>%5</td><td class='num'>%6</td></tr>")
                    .arg(i % 2 == 1 ? "rowA" : "rowB")
                    .arg(i)
                    .arg(Escaped(network.Name()), network.IsTcp() ? "tcp" : "udp", Escaped(network.IpAddress()))
                    .arg(network.Port());
    }
    return html + "</tbody></table><div class=\"songSpacer\">&nbsp;</div>";
}

// The modification time of the change-log file; a name without a folder lies in the show folder.
QString LogDate(const std::string& changelogFile, const std::string& showFolder)
{
    if (changelogFile.empty())
        return {};
    std::filesystem::path path(changelogFile);
    if (!path.has_parent_path())
        path = std::filesystem::path(showFolder) / path;
    const QFileInfo info(QString::fromStdString(path.string()));
    return info.exists() ? info.lastModified().toString(kDateFormat).toHtmlEscaped() : QString();
}

// The resolution at which a document without a paint device of its own converts points to pixels.
double LayoutDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? std::round(screen->logicalDotsPerInchY()) : 100.0;
}

}  // namespace

SvgInlineObject::SvgInlineObject(QHash<QString, QString> svgMap, QObject* parent)
    : QObject(parent), svgMap_(std::move(svgMap))
{
}

QSizeF SvgInlineObject::intrinsicSize(QTextDocument*, int, const QTextFormat& format)
{
    const double width = format.doubleProperty(kWidthProperty);
    const double height = format.doubleProperty(kHeightProperty);
    return {width > 0 ? width : 12.0, height > 0 ? height : 12.0};
}

void SvgInlineObject::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int, const QTextFormat& format)
{
    const QString key = format.stringProperty(kKeyProperty);
    const QString path = svgMap_.value(key);
    if (path.isEmpty())
        return;
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        qDebug() << "SVG INVALID key=" << key << "path=" << path;
        return;
    }
    QRectF box = renderer.viewBoxF();
    if (box.width() <= 0 || box.height() <= 0) {
        const QSize size = renderer.defaultSize();
        box = QRectF(0, 0, size.width() > 0 ? size.width() : 1000, size.height() > 0 ? size.height() : 1000);
    }
    const double scale = std::min(rect.width() / box.width(), rect.height() / box.height());
    const double width = box.width() * scale;
    const double height = box.height() * scale;
    painter->save();
    renderer.render(painter, QRectF(rect.x() + (rect.width() - width) / 2, rect.y() + (rect.height() - height) / 2,
                                    width, height));
    painter->restore();
}

void ReplaceImagesWithSvgObjects(QTextDocument& document, const QHash<QString, QString>& svgMap)
{
    struct Found {
        int position;
        int length;
        QTextImageFormat image;
    };
    std::vector<Found> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().isImageFormat())
                images.push_back({fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
        }
    }
    // From the end, so the positions of the fragments not yet replaced stay valid.
    for (auto found = images.rbegin(); found != images.rend(); ++found) {
        const QString key = found->image.name();
        if (!svgMap.contains(key)) {
            qDebug() << "  -> no SVG mapping for key" << key;
            continue;
        }
        const bool logo = key == "brix-logo";
        const double height = found->image.height() > 0 ? found->image.height()
                              : logo                    ? 35.0
                              : key.startsWith("icon-") ? 12.0
                                                        : 10.0;
        const double width = found->image.width() > 0 ? found->image.width() : logo ? 35.0 : height;
        QTextCharFormat object;
        object.setObjectType(SvgInlineObject::kObjectType);
        object.setProperty(SvgInlineObject::kKeyProperty, key);
        object.setProperty(SvgInlineObject::kWidthProperty, width);
        object.setProperty(SvgInlineObject::kHeightProperty, height);
        QTextCursor cursor(&document);
        cursor.setPosition(found->position);
        cursor.setPosition(found->position + found->length, QTextCursor::KeepAnchor);
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), object);
    }
}

ExportManager::ExportManager(CurrentShowSource showStore, std::shared_ptr<ShowManager> showManager,
                             std::shared_ptr<Interface> engine, int oscPort, QString showName, QUrl target,
                             QString displayName)
    : showStore_(std::move(showStore)),
      showManager_(std::move(showManager)),
      engine_(std::move(engine)),
      showName_(std::move(showName)),
      target_(std::move(target)),
      oscPortText_(QString::number(oscPort)),
      displayName_(std::move(displayName))
{
}

QString ExportManager::BuildHtml()
{
    const std::optional<networking::ShowRecord> show = showStore_ ? showStore_() : std::nullopt;
    const QString customer = show ? Escaped(show->customer) : QString();
    const CL::Editor* editor = showManager_->PauseAndGetEditor();
    if (editor == nullptr)
        throw std::runtime_error("The show has no change log to export.");
    const cmn::BRIXVersion version = editor->GetVersion();
    const QString now = QDateTime::currentDateTime().toString(kDateFormat).toHtmlEscaped();

    QString html = "<!doctype html><html><head><meta charset=\"utf-8\"><style>";
    html += kStyleSheet;
    html += "</style></head><body>";
    html += "<table class='header' style='width:100%; border-collapse:collapse; margin:0 0 10pt 0;'><tr>"
            "<td style='white-space:nowrap; vertical-align:middle; padding-right:12pt;'>"
            "<img src=\"brix-logo\" style=\"height:28pt; width:auto; display:block;\" /></td>"
            "<td style='white-space:nowrap; vertical-align:middle; text-align:left;'>"
            "<span style='font-size:22pt; font-weight:700; line-height:1;'>Event Log Summary</span></td>"
            "<td style='width:100%;'></td></tr></table>";
    html += kSeparator;
    const auto metaRow = [](const QString& label, const QString& value) {
        return QString("<tr><td class='k'>%1</td><td class='v'>%2</td></tr>").arg(label, value);
    };
    html += "<table class='metaPlain'>";
    html += metaRow("Show Name", showName_.toHtmlEscaped());
    html += metaRow("Customer Name     ", customer);
    html += metaRow("Version", QString("%1.%2").arg(version.GetMajor()).arg(version.GetMinor()));
    html += metaRow("Log Date", LogDate(engine_->GetChangelogFilename(), engine_->GetShowDirectory()));
    html += metaRow("Today's Date", now);
    html += "</table>";
    html += kSeparator;

    // Every song with events or markers, in the show's order of song numbers.
    Interface::EventsBySong events = engine_->GetChangeLogPanelEventsForAllSongs();
    Interface::EventsBySong markers = engine_->GetMarkersForAllSongs();
    const Interface::SongNames names = engine_->GetSongNamesBySongNumber();
    std::set<std::string, fennic::NumericStringCompare> songs;
    for (const auto& [song, list] : events)
        songs.insert(song);
    for (const auto& [song, list] : markers)
        songs.insert(song);

    html += "<div class='songHeader'>Table of Contents</div>" + kHeaderSpacer + "<table class='metaPlain'>";
    for (const std::string& song : songs) {
        const SongIdentity identity = IdentityOf(song, names);
        html += QString("<tr><td class='v'><a href='#%1'>%2</a></td></tr>").arg(identity.anchor, identity.title);
    }
    html += "</table>";
    html += kSeparator;

    for (const std::string& song : songs) {
        const RowBuilder builder(song, *editor, *engine_);
        std::vector<EventRow> rows;
        for (const Interface::EventsBySong* source : {&events, &markers}) {
            const auto found = source->find(song);
            if (found == source->end())
                continue;
            for (const auto& event : found->second) {
                if (event)
                    rows.push_back(builder.Build(*event));
            }
        }
        html += SongSection(IdentityOf(song, names), std::move(rows), engine_->GetAttacca(song));
    }
    html += kSeparator;
    html += NetworkSection(editor->GetNetworks(), oscPortText_);
    html += "</body></html>";
    return html;
}

QHash<QString, QString> ExportManager::BuildSvgMap() const
{
    QHash<QString, QString> map;
    const QString logo = displayName_ == "Vell|Stroud" ? ":/images/vs_icon.svg" : ":/images/tw_icon.svg";
    if (QFile::exists(logo))
        map.insert("brix-logo", logo);
    for (int n = 1; n <= 32; ++n) {
        const QString path = QString(":/images/notehead-%1.svg").arg(n);
        if (QFile::exists(path))
            map.insert(QString("notehead-%1").arg(n), path);
    }
    const std::pair<const char*, const char*> icons[] = {
        {"icon-click", ":/images/click_event.svg"},     {"icon-cut", ":/images/cut_event_black.svg"},
        {"icon-tempo", ":/images/tempo_event.svg"},     {"icon-transpose", ":/images/transpose_event.svg"},
        {"icon-repeat", ":/images/repeat_event.svg"},   {"icon-vamp", ":/images/vamp_event.svg"},
        {"icon-marker", ":/images/marker_black.svg"},   {"icon-fermata", ":/images/fermata_event.svg"},
        {"icon-osc", ":/images/lan_black.svg"},         {"icon-caesura", ":/images/caesura_black.svg"},
        {"icon-check", ":/images/check.svg"},           {"icon-skip", ":/images/x.svg"},
        {"icon-continue", ":/images/down.svg"},
    };
    for (const auto& [key, path] : icons)
        map.insert(key, path);
    return map;
}

void ExportManager::ExportChangelog()
{
    const QString html = BuildHtml();
    QTextDocument document;
    document.setHtml(html);
    const QHash<QString, QString> svgMap = BuildSvgMap();
    auto* handler = new SvgInlineObject(svgMap, document.documentLayout());
    document.documentLayout()->registerHandler(SvgInlineObject::kObjectType, handler);
    ReplaceImagesWithSvgObjects(document, svgMap);

    QSaveFile file(OutputPath());
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("Cannot write " + OutputPath().toStdString() + ": " + file.errorString().toStdString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(1000);
        writer.setPageMargins(QMarginsF(0.75, 0.75, 0.75, 0.75), QPageLayout::Inch);
        // The text area inside the margins, in the units the document lays out in (pixels of the
        // screen's logical resolution), so that the printed page keeps the text's proportions and
        // its fonts print at their point sizes.
        const double layoutDpi = LayoutDpi();
        const QSizeF area = writer.pageLayout().paintRect(QPageLayout::Inch).size();
        document.setPageSize(QSizeF(area.width() * layoutDpi, area.height() * layoutDpi));
        document.print(&writer);
    }
    if (!file.commit())
        throw std::runtime_error("Cannot write " + OutputPath().toStdString() + ": " + file.errorString().toStdString());
}

}  // namespace brix::qt
