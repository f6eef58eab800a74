import QtQuick
import com.fernwhistlestudios.brix_ui

// The same raised edge as BasicBevel, under the name some windows use.
BasicBevel {
}
