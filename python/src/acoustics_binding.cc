#include "acoustics_binding.h"

#include "roombox/compute_room_acoustics.h"
#include "roombox/write_acoustics.h"

roombox::RoomAcoustics acousticsOf(const roombox::Reconstruction& room,
                                   const std::optional<std::string>& materials,
                                   double temperature, double humidity) {
  roombox::AirConditions air;
  air.temperatureC = temperature;
  air.relativeHumidity = humidity;
  if (!materials) return roombox::computeRoomAcoustics(room, roombox::builtinMaterialTable(), air);
  return roombox::computeRoomAcoustics(room, roombox::readMaterialTable(*materials), air);
}

std::string acousticsTextFor(const roombox::Reconstruction& room,
                             const std::optional<std::string>& materials, double temperature,
                             double humidity) {
  return roombox::acousticsText(acousticsOf(room, materials, temperature, humidity));
}

void writeAcousticsFor(const roombox::Reconstruction& room, const std::string& path,
                       const std::optional<std::string>& materials, double temperature,
                       double humidity) {
  roombox::writeAcoustics(acousticsOf(room, materials, temperature, humidity), path);
}
