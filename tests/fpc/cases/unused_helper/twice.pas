unit Twice;
{$mode objfpc}{$modeswitch typehelpers}
interface
type
  TTwiceHelper = type helper for Integer
    function Doubled: Integer;
  end;
implementation
function TTwiceHelper.Doubled: Integer; begin Result := Self * 2; end;
end.
