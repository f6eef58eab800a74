import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import com.fernwhistlestudios.brix_ui

// The printed score of the show, one page or two side by side (a book's spreads: the first page alone
// on the right), in a page area that zooms about its horizontal centre. The controller fills
// imageListModel and turns the view through currentIndex (0-based); the buttons ask for a page with
// pageChanged(page), 1-based, which moves playback there.
Rectangle {
    id: root

    property var imageListModel: null
    property int currentIndex: 0
    property bool twoUpMode: false
    property var imageList: imageListModel
    property string currentImage1: ""
    property string currentImage2: ""
    readonly property real baseWidth: twoUpMode ? (pageArea.width - pageSpacing) / 2 : pageArea.width
    readonly property real baseHeight: pageArea.height
    readonly property int pageCount: imageList ? imageList.length : 0
    readonly property int pageDelta: twoUpMode ? 2 : 1
    readonly property int pageSpacing: 5
    readonly property real zoom: internal.zoom

    signal pageChanged(int value)

    // The data URL at `index`, "" outside the list.
    function imageAt(index) {
        return imageList && index >= 0 && index < imageList.length ? imageList[index] : ""
    }

    function updateImages() {
        if (twoUpMode) {
            currentImage1 = imageAt(currentIndex % 2 === 0 ? currentIndex - 1 : currentIndex)
            currentImage2 = imageAt(currentIndex + currentIndex % 2)
        } else {
            currentImage1 = imageAt(currentIndex)
            currentImage2 = ""
        }
    }

    function previousPage() {
        pageChanged(Math.max(0, currentIndex - pageDelta) + 1)
    }

    function nextPage() {
        pageChanged(Math.min(pageCount - 1, currentIndex + pageDelta) + 1)
    }

    // Shows `page` (1-based; in two-up mode the spread holding it) without moving playback.
    function goToPage(page) {
        var index = twoUpMode ? page - (page % 2) - 1 : page - 1
        currentIndex = Math.max(0, Math.min(pageCount - 1, index))
    }

    // Sets the zoom, keeping the horizontal centre of the page area where it was.
    function setZoom(value) {
        var oldWidth = pageArea.contentWidth
        var centreRatio = oldWidth > pageArea.width ? (pageArea.contentX + pageArea.width / 2) / oldWidth : 0.5
        internal.zoom = value
        var newWidth = pageArea.contentWidth
        if (newWidth <= pageArea.width)
            pageArea.contentX = 0
        else
            pageArea.contentX = Math.max(0, Math.min(centreRatio * newWidth - pageArea.width / 2,
                                                     newWidth - pageArea.width))
        pageArea.returnToBounds()
    }

    onCurrentIndexChanged: updateImages()
    onTwoUpModeChanged: updateImages()
    onImageListChanged: {
        if (currentImage1 === "" && currentImage2 === "")
            updateImages()
    }

    color: theme.default_bg_color

    BrixTheme { id: theme }

    QtObject {
        id: internal
        property real zoom: 1.0
    }

    // One page: two images, of which the hidden one loads the next source and takes the other's place
    // once it is ready, so turning pages never shows an empty frame. The page is as wide as the image
    // draws, without the blank sides of the aspect fit; an empty page takes `emptyWidth`.
    component ScorePage: Item {
        id: page

        property string source: ""
        property real boxWidth: 0
        property real boxHeight: 0
        property real emptyWidth: 0
        property bool frontIsA: true
        readonly property Image front: frontIsA ? imageA : imageB
        readonly property Image back: frontIsA ? imageB : imageA
        readonly property bool shown: source !== "" && front.status === Image.Ready
        readonly property real drawnWidth: shown ? front.paintedWidth : 0

        function swapIfReady() {
            if (back.status === Image.Ready && back.source.toString() === source)
                frontIsA = !frontIsA
        }

        function load() {
            if (source === "") {
                imageA.source = ""
                imageB.source = ""
                return
            }
            if (front.source.toString() === source)
                return
            back.source = source
            // An image already in the cache may be ready before its status could signal it.
            Qt.callLater(swapIfReady)
        }

        width: shown ? drawnWidth : emptyWidth
        height: boxHeight
        onSourceChanged: load()

        Image {
            id: imageA
            objectName: "pageImageA"
            anchors.centerIn: parent
            width: page.boxWidth
            height: page.boxHeight
            visible: page.frontIsA && page.source !== ""
            fillMode: Image.PreserveAspectFit
            asynchronous: true
            cache: true
            smooth: true
            mipmap: true
            onStatusChanged: if (status === Image.Ready) page.swapIfReady()
        }
        Image {
            id: imageB
            objectName: "pageImageB"
            anchors.centerIn: parent
            width: page.boxWidth
            height: page.boxHeight
            visible: !page.frontIsA && page.source !== ""
            fillMode: Image.PreserveAspectFit
            asynchronous: true
            cache: true
            smooth: true
            mipmap: true
            onStatusChanged: if (status === Image.Ready) page.swapIfReady()
        }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 5
        spacing: 12

        Flickable {
            id: pageArea
            objectName: "pageArea"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            contentWidth: root.twoUpMode ? leftPage.width + root.pageSpacing + rightPage.width : leftPage.width
            contentHeight: root.baseHeight * root.zoom

            ScorePage {
                id: leftPage
                objectName: "leftPage"
                x: Math.max(0, (pageArea.width - pageArea.contentWidth) / 2)
                source: root.currentImage1
                boxWidth: root.baseWidth * root.zoom
                boxHeight: root.baseHeight * root.zoom
                emptyWidth: root.twoUpMode ? rightPage.drawnWidth : 0
            }
            ScorePage {
                id: rightPage
                objectName: "rightPage"
                x: leftPage.x + leftPage.width + root.pageSpacing
                visible: root.twoUpMode
                source: root.currentImage2
                boxWidth: root.baseWidth * root.zoom
                boxHeight: root.baseHeight * root.zoom
                emptyWidth: leftPage.drawnWidth
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            FlatButton {
                objectName: "previousButton"
                text: qsTr("Previous")
                onClicked: root.previousPage()
            }
            FlatButton {
                objectName: "nextButton"
                text: qsTr("Next")
                onClicked: root.nextPage()
            }
            FlatButton {
                objectName: "twoUpButton"
                text: root.twoUpMode ? qsTr("Single Page") : qsTr("Double Page")
                onClicked: root.twoUpMode = !root.twoUpMode
            }
            FlatButton {
                objectName: "goToPageButton"
                text: qsTr("Go to Page")
                visible: false
                onClicked: pageJump.open()
            }
            Item { Layout.fillWidth: true }
            BrixCustomSlider {
                id: zoomSlider
                objectName: "zoomSlider"
                Layout.preferredWidth: 200
                from: 1.0
                to: 3.0
                stepSize: 0.01
                step: 0.01
                value: 1.0
                zeroMark: 1.0
                showZeroMark: false
                onValueChanged: root.setZoom(value)
            }
        }

        Text {
            objectName: "pageLabel"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            font: theme.default_font
            color: theme.default_text_color
            text: root.pageCount > 0 ? qsTr("Page ") + (root.currentIndex + 1) + qsTr(" of ") + root.pageCount
                                     : qsTr("No Score")
        }
    }

    JumpToBar {
        id: pageJump
        objectName: "pageJump"
        prompt: qsTr("Enter Page")
        onOk: {
            var page = parseInt(barNum)
            if (isNaN(page)) {
                result(false)
                return
            }
            root.goToPage(page)
            result(true)
        }
    }
}
