#pragma once

#include <QMainWindow>

#include <functional>

namespace tvx::data {
class DataSource;
}

namespace tvx {

// A screen window: the exit-on-close flag, the exit routine `Kilepes`, and
// modal opening. Closing the window by any means other than the exit routine
// runs the exit routine while the flag is set; the close is never refused.
class Screen : public QMainWindow {
    Q_OBJECT
public:
    explicit Screen(QWidget *parent = nullptr);

    void SetQui(bool exitOnClose) { exitOnClose_ = exitOnClose; }
    bool exitOnClose() const { return exitOnClose_; }

    // Shows the screen modally and returns when it has closed.
    void showModal();

    // Tests put a runner here that drives the screen without a nested event
    // loop; the default runner waits in an event loop until the screen closes.
    using ModalRunner = std::function<void(Screen &)>;
    static void setModalRunner(ModalRunner runner);

public Q_SLOTS:
    // The exit routine, and the window closes.
    void Kilepes();

Q_SIGNALS:
    void closed();

protected:
    // The exit routine's steps: clears the flag and closes the data sources in
    // the screen's order, ignoring failures. Screens with more to do extend it.
    virtual void exitRoutine();
    // The data sources the exit routine closes, in order.
    virtual QList<data::DataSource *> dataSourcesToClose() const { return {}; }
    void closeEvent(QCloseEvent *event) override;

private:
    bool exitOnClose_ = true;
};

}  // namespace tvx
