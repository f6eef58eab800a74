.pragma library

// The kinds of message of the flat dialogs: icon, icon colour and default heading, looked up by the
// kind's name in any case; an unknown kind has no icon.
var kinds = {
    "ERROR": { icon: "qrc:/images/error_icon.svg", color: "#FF5757", title: qsTr("Error") },
    "WARNING": { icon: "qrc:/images/warning_icon.svg", color: "#FFC400", title: qsTr("Warning") },
    "INFO": { icon: "qrc:/images/info_icon.svg", color: "#00AEEF", title: qsTr("Information") }
}

function kindOf(val) {
    var key = String(val).toUpperCase()
    return kinds.hasOwnProperty(key) ? kinds[key] : null
}

function defaultTitle(val) {
    var kind = kindOf(val)
    return kind ? kind.title : qsTr("Information")
}

function iconColor(val) {
    var kind = kindOf(val)
    return kind ? kind.color : "Silver"
}

function icon(val) {
    var kind = kindOf(val)
    return kind ? kind.icon : ""
}
