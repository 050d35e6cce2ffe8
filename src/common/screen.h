#pragma once

#include <QList>
#include <QMainWindow>

namespace tvx::data {
class DataSource;
}

namespace tvx {

// A screen window: the exit-on-close flag, the exit routine `Kilepes`, and
// modal opening. Closing the window by any means other than the exit routine
// runs the exit routine while the flag is set; the window closes unless the
// exit routine asks it to stay open.
class Screen : public QMainWindow {
    Q_OBJECT
public:
    explicit Screen(QWidget *parent = nullptr);

    void SetQui(bool exitOnClose) { exitOnClose_ = exitOnClose; }
    bool exitOnClose() const { return exitOnClose_; }

    // Shows the screen modally and returns when it has closed (through the
    // platform, so tests drive it without a nested event loop).
    void showModal();

    // What the screen does each time it becomes the active window: when it is
    // shown (and shown again after hiding), and when the screen calls it after
    // a window it opened has closed. A message box closing does not count, so
    // the focus stays where the user was.
    virtual void activation() {}

public Q_SLOTS:
    // The exit routine, and the window closes.
    void Kilepes();

Q_SIGNALS:
    void closed();

protected:
    // The exit routine's steps: clears the flag and closes the data sources in
    // the order they were added, ignoring failures. Screens with more to do extend it.
    virtual void exitRoutine();
    // Called by an exit routine that finds something the user must mend first
    // (changes that cannot be written yet): the window stays open this time.
    void stayOpen() { stayOpen_ = true; }
    // A data source the exit routine closes; call in the order the screen closes them.
    void addDataSource(data::DataSource &source);
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    bool exitOnClose_ = true;
    bool stayOpen_ = false;
    QList<data::DataSource *> dataSources_;
};

}  // namespace tvx
