// Resource numbers shared by app.rc and the code that loads the resources.
#ifndef RESOURCES_RESOURCE_IDS_H_
#define RESOURCES_RESOURCE_IDS_H_

// The application icon group: the window class and the tray load it.
#define VELTRIX_APP_ICON 101
// The tray's connection-state icons: the mark with an amber badge (connecting,
// reconnecting, disconnecting), a green one (connected) or a red one (error).
#define VELTRIX_TRAY_ICON_AMBER 102
#define VELTRIX_TRAY_ICON_GREEN 103
#define VELTRIX_TRAY_ICON_RED 104

#endif  // RESOURCES_RESOURCE_IDS_H_
