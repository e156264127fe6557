@unit Demo;

interface

uses
  Windows, SysUtils,
  Classes;

type
  TDemo = class
  end;

implementation

uses Math, Controls;

end.
