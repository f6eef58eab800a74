#pragma once

// moc cannot parse the standard library's concept headers that these bring in; it needs none of them.
#ifndef Q_MOC_RUN
#include "CurrentShow.h"
#endif

#include <QHash>
#include <QObject>
#include <QSizeF>
#include <QString>
#include <QTextFormat>
#include <QTextObjectInterface>
#include <QUrl>

#include <memory>

class Interface;
class QPainter;
class QRectF;
class QTextDocument;

namespace brix {
class ShowManager;
}

namespace brix::qt {

// SvgInlineObject: draws the inline symbols of an exported document (logo, event icons, noteheads)
// from SVG resources, keeping each drawing's proportions and centring it in the space the layout gives
// it. It owns its own copy of the map from image key to resource path. Parented to the document's
// layout, which it is registered with as the handler of kObjectType.
class SvgInlineObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr int kObjectType = QTextFormat::UserObject + 1303;
    static constexpr int kKeyProperty = QTextFormat::UserProperty + 1;
    static constexpr int kWidthProperty = QTextFormat::UserProperty + 2;
    static constexpr int kHeightProperty = QTextFormat::UserProperty + 3;

    SvgInlineObject(QHash<QString, QString> svgMap, QObject* parent);

    // The width and height properties; each that is not positive counts as 12.
    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

private:
    QHash<QString, QString> svgMap_;
};

// Swaps every image of the document whose name the map holds for an inline SVG object of the same
// size (the image's own width and height where given, else the symbol's default). Unmapped images
// stay plain images.
void ReplaceImagesWithSvgObjects(QTextDocument& document, const QHash<QString, QString>& svgMap);

// ExportManager: prints the change log of the current show as the "Event Log Summary", a PDF of A4
// pages: the show's data, a table of contents, one section per song of the show (in the show's song
// order) listing its change-log events and markers, and the OSC network destinations.
//
// Every text taken from the show or the log is HTML-escaped. The PDF is written to a temporary file
// beside the target and renamed over it when complete, so a failed export leaves an earlier file as it
// was. One manager per export request; GUI thread only (it lays out and paints text).
class ExportManager {
public:
    ExportManager(CurrentShowSource showStore, std::shared_ptr<ShowManager> showManager,
                  std::shared_ptr<Interface> engine, int oscPort, QString showName, QUrl target,
                  QString displayName);

    // Builds the document and prints it to the target. Throws std::runtime_error when the file cannot
    // be written, and lets through what the engine or the editor throws; nothing is shown here.
    void ExportChangelog();

    // The document ExportChangelog prints. Asking for the editor pauses playback.
    QString BuildHtml();

    // The path of the PDF (the target as a local file).
    QString OutputPath() const { return target_.toLocalFile(); }

private:
    QHash<QString, QString> BuildSvgMap() const;

    CurrentShowSource showStore_;
    std::shared_ptr<ShowManager> showManager_;
    std::shared_ptr<Interface> engine_;
    QString showName_;
    QUrl target_;
    QString oscPortText_;
    QString displayName_;
};

}  // namespace brix::qt
