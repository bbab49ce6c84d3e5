#pragma once

// The whole toolkit, for a program's window units.

#include <vcl/Application.h>
#include <vcl/Bevel.h>
#include <vcl/Button.h>
#include <vcl/CheckBox.h>
#include <vcl/Colors.h>
#include <vcl/Component.h>
#include <vcl/Control.h>
#include <vcl/Edit.h>
#include <vcl/FileListBox.h>
#include <vcl/Font.h>
#include <vcl/Form.h>
#include <vcl/Gauge.h>
#include <vcl/ImageList.h>
#include <vcl/Label.h>
#include <vcl/ListBox.h>
#include <vcl/ListView.h>
#include <vcl/MessageBox.h>
#include <vcl/Object.h>
#include <vcl/Panel.h>
#include <vcl/ProgressBar.h>
#include <vcl/RichEdit.h>
#include <vcl/RichEditStrings.h>
#include <vcl/RtfReader.h>
#include <vcl/SpeedButton.h>
#include <vcl/StaticText.h>
#include <vcl/StatusBar.h>
#include <vcl/Strings.h>
#include <vcl/Types.h>
#include <vcl/WinControl.h>
