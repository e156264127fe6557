@unit Skip;
interface
uses
  SysUtils,
  {$IFDEF MSWINDOWS}
  Windows,
  {$ENDIF}
  Classes;
implementation
uses Zed, (*$R+*) Alpha;
end.
