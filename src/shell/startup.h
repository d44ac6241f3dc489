#pragma once
// Program start-up: the application object, the single-instance rule and the six windows.

#include <QApplication>
#include <QString>

// The application object; its notify() is the last net for an error no handler caught.
class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

namespace Startup {
// Application title and help file name.
inline const QString applicationTitle = QStringLiteral("Prova de Legislação de Trânsito");
inline const QString helpFile = QStringLiteral("Quelvado.html");
inline const QString secondCopyText = QStringLiteral("Você não pode executar outra cópia do aplicativo");

// The lock file that marks a running copy (one per user, in the temporary folder).
QString instanceLockPath();
// Sets the application title and help viewer and installs the hint tracker.
void configureApplication(QApplication &app);
// Creates the six windows in order, each once, and registers them; the main window first.
void createWindows();
// Destroys the six windows in reverse order.
void destroyWindows();
// The whole program: returns the exit code.
int run(int argc, char **argv);
} // namespace Startup
