# project()'s version as Windows writes it in a version block: four numbers,
# the fourth 0 when the project gives three. ORVANE_VERSION_NUMBERS is
# "1, 0, 0, 0", ORVANE_VERSION_TEXT "1.0.0.0".
set(version_parts ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH} ${PROJECT_VERSION_TWEAK})
list(LENGTH version_parts version_count)
while(version_count LESS 4)
  list(APPEND version_parts 0)
  list(LENGTH version_parts version_count)
endwhile()
list(JOIN version_parts ", " ORVANE_VERSION_NUMBERS)
list(JOIN version_parts "." ORVANE_VERSION_TEXT)
