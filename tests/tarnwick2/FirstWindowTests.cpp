// The program tarnwick2 started for real under Xvfb on the demo show: its main window appears with
// the show, a picture of it is saved as first_window.png in the build folder, and closing the window
// ends the program with status 0. Runs as an X client beside the program, on the same display.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

struct Connection {
    explicit Connection() : c(xcb_connect(nullptr, nullptr)) {}
    ~Connection() { xcb_disconnect(c); }
    xcb_connection_t* c;
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string WindowTitle(xcb_connection_t* c, xcb_window_t window) {
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, Atom(c, "_NET_WM_NAME"), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
            nullptr),
        &std::free);
    if (!reply) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

// A mapped top-level window whose title begins with the text.
std::optional<xcb_window_t> FindWindow(xcb_connection_t* c, const std::string& titleStart) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr), &std::free);
    if (!tree) {
        return std::nullopt;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr), &std::free);
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
            WindowTitle(c, children[i]).rfind(titleStart, 0) == 0) {
            return children[i];
        }
    }
    return std::nullopt;
}

// Asks the window to close, as a window manager's close button does.
void CloseWindow(xcb_connection_t* c, xcb_window_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom(c, "WM_PROTOCOLS");
    event.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

TEST(FirstWindow, ShowsTheDemoShowAndClosesTheProgramWithStatusZero) {
    int argc = 1;
    char name[] = "first_window_tests";
    char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);
    QTemporaryDir userData;
    ASSERT_TRUE(userData.isValid());
    // The welcome notice is silenced, as after its first run: a modal notice holds the main window's
    // close request back until it is answered.
    ASSERT_TRUE(QDir(userData.path()).mkpath("tarnwick"));
    QFile settings(QDir(userData.path()).filePath("tarnwick/general_settings.brix"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Dialogs]\nShowRehearsalNotice=false\n");
    settings.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", userData.path());
    environment.remove("TARNWICK2_SHOW_FOLDER");
    environment.insert("QT_FORCE_STDERR_LOGGING", "1");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(TARNWICK2_EXECUTABLE, {"-c"});
    ASSERT_TRUE(program.waitForStarted(30000));

    // The program says when its first window has drawn its first frame.
    QByteArray out;
    QElapsedTimer waited;
    waited.start();
    while (!out.contains("First frame of the first window") && waited.elapsed() < 120000 &&
           program.state() == QProcess::Running) {
        program.waitForReadyRead(1000);
        out += program.readAllStandardOutput();
    }
    ASSERT_TRUE(out.contains("First frame of the first window"))
        << out.toStdString() << program.readAllStandardError().toStdString();

    Connection x;
    ASSERT_EQ(xcb_connection_has_error(x.c), 0);
    const std::string title = "Tarn|Wick - Lanterns on the Quay - Brix Demo Company";
    std::optional<xcb_window_t> window;
    for (int attempt = 0; attempt < 100 && !window; ++attempt) {
        window = FindWindow(x.c, title);
        if (!window) {
            program.waitForFinished(100);
        }
    }
    ASSERT_TRUE(window.has_value()) << "no window titled " << title;

    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, *window), nullptr), &std::free);
    ASSERT_TRUE(geometry);
    const QImage picture = application.primaryScreen()
                               ->grabWindow(0, geometry->x, geometry->y, geometry->width, geometry->height)
                               .toImage();
    const QString png = QDir(BRIX_TEST_OUTPUT_DIR).filePath("first_window.png");
    ASSERT_TRUE(picture.save(png)) << png.toStdString();
    // A drawn window has its background, text and logo colours, not one flat colour.
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 2) {
        for (int x0 = 0; x0 < picture.width(); x0 += 2) {
            colours.insert(picture.pixel(x0, y));
        }
    }
    EXPECT_GT(colours.size(), 20) << png.toStdString();

    CloseWindow(x.c, *window);
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);

    // No QML warning on the way.
    const QByteArray err = program.readAllStandardError();
    EXPECT_FALSE(err.contains("qrc:") || err.contains(".qml")) << err.toStdString();
}

}  // namespace
