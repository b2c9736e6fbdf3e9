#include "core/captions.h"
#include "rig.h"

#include "test_classes.h"
#include <algorithm>

// The library round and saving the text box, over a folder the fake view lists.
namespace {

// A library of one-letter texts; an empty entry is a file that cannot be loaded.
struct Library : Rig {
    explicit Library(const std::vector<std::string>& texts) {
        state.libraryFolder = "/library/";
        for (std::size_t i = 0; i < texts.size(); ++i) {
            view.files.push_back(std::to_string(i) + ".txt");
            if (!texts[i].empty())
                view.documents["/library/" + view.files.back()] = texts[i];
        }
        view.texts[kPauseButton] = std::string(caption::kPause);
    }
    // Plays on (Go, or `start`), Stop clicked once `letters` letters have sounded.
    std::string playStoppingAfter(std::size_t letters, std::function<void()> start = {}) {
        view.onYield = [this, letters](long) {
            const std::string heard = trace.heard();
            if (heard.size() - std::ranges::count(heard, ' ') >= letters && state.continuousPlay)
                t.player.stop();
            return true;
        };
        start ? start() : t.player.go();
        std::string heard = trace.heard();
        std::erase(heard, ' ');
        return heard;
    }
};

} // namespace

class LibraryTest : public QObject {
    Q_OBJECT
private slots:
    void continuousPlayGoesRoundTheList() {
        const struct {
            std::vector<std::string> files;
            int chosen;
            const char* heard;
        } rows[] = {// clang-format off
            {{"E", "T", "I"}, 0, "ETIETI"}, {{"E", "T", "I"}, 1, "TIETIE"}, {{"M"}, 0, "MMMMMM"},
            {{"E", "", "I"}, 0, "EIEIEI"}}; // a file that cannot be read is passed over
        // clang-format on
        for (const auto& row : rows) {
            Library lib(row.files);
            lib.t.library.openPanel();
            lib.t.library.choose(row.chosen);
            QVERIFY(lib.trace.tones().empty()); // choosing loads, Go plays
            QCOMPARE(lib.view.text(kSaveNameBox), lib.view.files[std::size_t(row.chosen)]);
            QCOMPARE(lib.playStoppingAfter(6), std::string(row.heard));
            QCOMPARE(lib.state.continuousPlay, 0);
        }
    }

    void aFileThatCannotBeLoadedChangesNothing() {
        Library lib({"E", ""});
        lib.t.library.openPanel();
        lib.view.texts[kTextBox] = "typed";
        lib.t.library.choose(1);
        QCOMPARE(lib.view.text(kTextBox), std::string("typed"));
        QVERIFY(lib.view.isVisible(kLibraryPanel));
        Library empty({});
        empty.state.continuousPlay = 1;
        empty.t.player.go(); // the end of the text finds no next file and ends quietly
        QVERIFY(empty.trace.tones().empty());
    }

    void skipMovesOnToTheNextFile() {
        Library lib({"EEEE EEEE", "T"});
        lib.t.library.choose(0);
        lib.view.onYield = [&](long) {
            if (lib.trace.tones().size() == 2 && lib.state.wordIndex == 1)
                lib.t.player.skip();
            if (lib.state.continuousPlay && lib.trace.heard().ends_with("T"))
                lib.t.player.stop();
            return true;
        };
        lib.t.player.go();
        QCOMPARE(lib.trace.heard(), std::string("EEEE T "));
    }

    void savingKeepsTheTextInTheProgramFolder() {
        for (const char* bad : {"", ".", "..", "sub/x.txt", "../out.txt", "..\\out.txt"}) {
            Rig rig;
            rig.t.saving.togglePanel();
            rig.view.texts[kSaveNameBox] = bad;
            rig.t.saving.save();
            QVERIFY(rig.view.documents.empty());
            QVERIFY(rig.view.isVisible(kSavePanel)); // left open to correct the name
        }
        Rig rig;
        rig.view.texts[kTextBox] = "cq cq";
        rig.view.texts[kSaveNameBox] = " nota 1.txt";
        rig.t.saving.save();
        QCOMPARE(rig.view.documents["/tmp/ nota 1.txt"], std::string("cq cq"));
        QVERIFY(!rig.view.isVisible(kSavePanel));
    }
};

VORNIK_TEST(LibraryTest)
#include "test_library.moc"
