program prog;
{$mode objfpc}
uses
  Features, Plain;

begin
{$IF DECLARED(FastPath)}
  WriteLn('fast path');
{$ELSE}
  WriteLn('slow path');
{$ENDIF}
end.
