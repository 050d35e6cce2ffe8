#pragma once

#include "common/screen.h"
#include "data/datasource.h"

namespace tvx {

// The register of files attached to filing entries.
class IktatasMellekletekFormX : public Screen {
    Q_OBJECT
public:
    explicit IktatasMellekletekFormX(QWidget *parent = nullptr);
};

}  // namespace tvx
