// Resource numbers shared by app.rc and the code that loads the resources.
#ifndef RESOURCES_RESOURCE_IDS_H_
#define RESOURCES_RESOURCE_IDS_H_

// The application icon group: the window class and the tray load it.
#define VELTRIX_APP_ICON 101

#endif  // RESOURCES_RESOURCE_IDS_H_
