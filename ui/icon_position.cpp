#include "ui/icon_position.h"

Point CentredIconPosition(Size client, Size icon) {
  return {(client.width - icon.width + 1) / 2, (client.height - icon.height + 1) / 2};
}
