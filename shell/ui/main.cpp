#include "shell/program_path.h"
#include "shell/ui/trainer_form.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TrainerSetup setup;
    setup.programFolder = progpath::programFolder();
    TrainerForm form(std::move(setup));
    form.show();
    form.activateWindow();
    return QApplication::exec();
}
